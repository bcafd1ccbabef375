// Rule file search and the YAML and INI readers.

#include "support/recording_host.h"
#include "support/temp_workdir.h"

#include <config/rule_file.h>

#include <boost/property_tree/exceptions.hpp>
#include <boost/property_tree/ini_parser.hpp>
#include <gtest/gtest.h>
#include <yaml-cpp/exceptions.h>

using namespace xk83t_test;
using xk83t::AiRuleMap;
using xk83t::TextMap;

namespace {

const xk83t::RuleFileQuery kQuery{12, "xk83t", "mobile"};

struct Read {
    AiRuleMap ai;
    TextMap alarm;
};

Read read_rules(int mode, const xk83t::RuleFileQuery& query = kQuery)
{
    Read r;
    xk83t::read_rule_file(query, mode, r.ai, r.alarm);
    return r;
}

class RuleFile : public ::testing::Test {
protected:
    TempWorkdir dir;
    RecordingHost host;  // captures console lines
};

TEST_F(RuleFile, FirstExistingCandidateWins)
{
    struct Case {
        std::vector<const char*> present;
        const char* chosen;
    };
    const Case cases[] = {
        {{"ini/mobile/12.yaml"}, "./ini/mobile/12.yaml"},
        {{"ini/12.yaml", "ini/xk83t.ini"}, "./ini/12.yaml"},
        {{"ini/12.ini", "ini/mobile/12.yaml"}, "./ini/12.ini"},
        {{"ini/xk83t.yaml", "ini/mobile/12.ini"}, "./ini/xk83t.yaml"},
        {{"ini/unicom/12.yaml", "ini/mobile/xk83t.ini"}, "./ini/mobile/xk83t.ini"},
        {{"ini/mobile/xk83t.yaml", "ini/mobile/12.ini"}, "./ini/mobile/12.ini"},
    };
    for (const Case& c : cases) {
        TempWorkdir own;
        for (const char* f : c.present)
            own.write(f, "");
        EXPECT_EQ(xk83t::find_rule_file(kQuery), c.chosen);
    }
}

TEST_F(RuleFile, AFileThatCannotBeReadStillCounts)
{
    dir.write("ini/12.yaml", "AI: {}\n");
    std::filesystem::permissions(dir.path() / "ini/12.yaml", std::filesystem::perms::none);
    EXPECT_EQ(xk83t::find_rule_file(kQuery), "./ini/12.yaml");
}

TEST_F(RuleFile, NoFileIsNotAnError)
{
    const Read r = read_rules(1);
    EXPECT_TRUE(r.ai.empty());
    const auto lines = host.console();
    ASSERT_EQ(lines.size(), 10u);
    EXPECT_EQ(lines[0], "test ini/yaml:./ini/12.yaml");
    EXPECT_EQ(lines[7], "test ini/yaml:./ini/mobile/xk83t.ini");
    EXPECT_EQ(lines[8], "data_id:12 model:xk83t b ini not found");
    EXPECT_EQ(lines[9], "parse ini/yaml filename:");
}

// The same rules in both forms, read in every kind of mode.
const char* kYamlRules = R"(AI:
  A路进线-电压: abcdefghij,A路电压
  B路进线-电压: nocomma
  环境温度: id9999999,温度,摄氏
ALARM:
  系统总告警状态: sys001,总告警
  A01电压_1: alarm7,upper
)";
const char* kIniRules = R"(; rules
[AI]
A路进线-电压 = abcdefghij,A路电压
B路进线-电压=nocomma
# comment
环境温度 = id9999999,温度,摄氏
[ALARM]
系统总告警状态 = sys001,总告警
A01电压_1 = alarm7,upper
[OTHER]
x = y
)";

TEST_F(RuleFile, BothFormsGiveTheSameEntriesPerMode)
{
    const AiRuleMap mode1_ai = {
        {"A路进线-电压", {"abcdefghij", "A路电压"}},
        {"B路进线-电压", {"nocomma", "nocomma"}},
        {"环境温度", {"id9999999", "温度,摄氏"}},
    };
    const TextMap mode1_alarm = {{"系统总告警状态", "sys001"}, {"A01电压_1", "alarm7"}};
    const TextMap mode3_alarm = {{"系统总告警状态", "sys001,总告警"}, {"A01电压_1", "alarm7,upper"}};

    for (const auto& [file, text] : {std::pair{"ini/12.yaml", kYamlRules}, std::pair{"ini/12.ini", kIniRules}}) {
        TempWorkdir own;
        own.write(file, text);
        for (int mode : {0, 1, 2, 3, 4, 5}) {
            const Read r = read_rules(mode);
            EXPECT_EQ(r.ai, mode == 1 ? mode1_ai : AiRuleMap{}) << file << " mode " << mode;
            const TextMap expected = mode == 1 ? mode1_alarm : mode == 3 ? mode3_alarm : TextMap{};
            EXPECT_EQ(r.alarm, expected) << file << " mode " << mode;
        }
    }
}

TEST_F(RuleFile, YamlConsoleLinesInModeOne)
{
    dir.write("ini/12.yaml", kYamlRules);
    read_rules(1);
    auto lines = host.console();
    lines.erase(lines.begin(), lines.begin() + 1);  // the one candidate line
    const std::vector<std::string> expected = {
        "parse ini/yaml filename:./ini/12.yaml",
        "before load",
        "after load",
        "before parse alarm",
        "parse alarm:系统总告警状态 >> sys001",  // file order
        "parse alarm:A01电压_1 >> alarm7",
        "after parse alarm",
        "AI 12",
        "first:A路进线-电压 second:abcdefghij name:A路电压",
        "first:B路进线-电压 second:nocomma name:nocomma",
        "first:环境温度 second:id9999999 name:温度,摄氏",
    };
    EXPECT_EQ(lines, expected);
}

TEST_F(RuleFile, EmptyYamlValuesReadAsNull)
{
    dir.write("ini/12.yaml", "AI:\n  A路进线-电压:\nALARM:\n  k:\n");
    Read r = read_rules(1);
    EXPECT_EQ(r.ai.at("A路进线-电压"), std::make_pair(std::string("null"), std::string("null")));
    EXPECT_EQ(r.alarm.at("k"), "null");
}

TEST_F(RuleFile, EmptyFiles)
{
    for (int mode : {0, 1, 2, 3, 5}) {
        {
            TempWorkdir own;
            own.write("ini/12.yaml", "");
            Read r;
            EXPECT_NO_THROW(r = read_rules(mode)) << mode;
            EXPECT_TRUE(r.ai.empty() && r.alarm.empty());
        }
        {
            TempWorkdir own;
            own.write("ini/12.ini", "");
            if (mode == 1 || mode == 3)
                EXPECT_THROW(read_rules(mode), boost::property_tree::ptree_bad_path) << mode;
            else
                EXPECT_NO_THROW(read_rules(mode)) << mode;
        }
    }
}

TEST_F(RuleFile, MissingOrScalarYamlSectionsGiveNoEntries)
{
    for (const char* text : {"OTHER: 1\n", "AI: 5\nALARM: text\n", "AI:\nALARM:\n"}) {
        TempWorkdir own;
        own.write("ini/12.yaml", text);
        Read r;
        EXPECT_NO_THROW(r = read_rules(1)) << text;
        EXPECT_TRUE(r.ai.empty() && r.alarm.empty()) << text;
    }
}

TEST_F(RuleFile, DuplicateKeys)
{
    dir.write("ini/12.yaml", "ALARM:\n  k: first\n  k: second\n");
    EXPECT_EQ(read_rules(3).alarm.at("k"), "second");
    TempWorkdir own;
    own.write("ini/12.ini", "[ALARM]\nk=first\nk=second\n");
    EXPECT_THROW(read_rules(3), boost::property_tree::ini_parser_error);
}

TEST_F(RuleFile, IniModeOneWithoutAlarmKeepsTheAiRulesItRead)
{
    dir.write("ini/12.ini", "[AI]\nA路进线-电压=abcdefghij,电压\n");
    AiRuleMap ai;
    TextMap alarm;
    EXPECT_THROW(xk83t::read_rule_file(kQuery, 1, ai, alarm), boost::property_tree::ptree_bad_path);
    EXPECT_EQ(ai.size(), 1u);
}

TEST_F(RuleFile, YamlErrorsInSectionsTheModeReads)
{
    struct Case {
        const char* text;
        int mode;
        bool throws;
    };
    const Case cases[] = {
        {"AI:\n  - a\n", 1, true},       // a section given as a sequence
        {"AI:\n  - a\n", 3, false},      // ... that the mode does not read
        {"AI:\n  k: {x: 1}\n", 1, true}, // a value that is a mapping
        {"ALARM:\n  k: [1, 2]\n", 3, true},
        {"ALARM:\n  k: [1, 2]\n", 2, false},
        {"scalar\n", 0, true},           // ALARM is looked up in every mode
    };
    for (const Case& c : cases) {
        TempWorkdir own;
        own.write("ini/12.yaml", c.text);
        if (c.throws)
            EXPECT_THROW(read_rules(c.mode), YAML::Exception) << c.text << " mode " << c.mode;
        else
            EXPECT_NO_THROW(read_rules(c.mode)) << c.text << " mode " << c.mode;
    }
}

}  // namespace
