// The settings entry point: alarm mode, operator folder, order of steps,
// error propagation.

#include "support/recording_host.h"
#include "support/temp_workdir.h"

#include <config/number_text.h>
#include <device/xk83t.h>

#include <gtest/gtest.h>
#include <json/reader.h>
#include <yaml-cpp/exceptions.h>

#include <climits>
#include <cfloat>

using namespace xk83t_test;

namespace {

Json::Value json(const std::string& text)
{
    Json::Value v;
    Json::Reader().parse(text, v);
    return v;
}

std::vector<std::string> lines_starting(const std::vector<std::string>& lines, const std::string& head)
{
    std::vector<std::string> out;
    for (const auto& l : lines)
        if (l.rfind(head, 0) == 0)
            out.push_back(l);
    return out;
}

class Settings : public ::testing::Test {
protected:
    TempWorkdir dir;
    RecordingHost host;
    XK83T device;
};

TEST_F(Settings, AlarmModeAndOperatorFolder)
{
    struct Case {
        const char* settings;
        int mode;
        const char* mode_line;  // nullptr: no line
        const char* operator_folder;
    };
    const Case cases[] = {
        {R"({})", 1, nullptr, "unicom"},
        {R"({"appSetting":{"b_mode":3}})", 3, "InitSetting 12 b_mode_:3", "mobile"},
        {R"({"appSetting":{"b_mode":"3"}})", 3, "InitSetting 12 b_mode_:3", "mobile"},
        {R"({"appSetting":{"b_mode":"2x"}})", 2, "InitSetting 12 b_mode_:2", "telecom"},
        {R"({"appSetting":{"b_mode":"abc"}})", 0, "InitSetting 12 b_mode_:0", "unicom"},
        {R"({"appSetting":{"b_mode":5}})", 5, "InitSetting 12 b_mode_:5", "unicom"},
        {R"({"appSetting":{"b_mode":-4}})", -4, "InitSetting 12 b_mode_:-4", "unicom"},
        {R"({"appSetting":{"b_mode":3.9}})", 3, "InitSetting 12 b_mode_:3", "mobile"},
        {R"({"appSetting":{"b_mode":true}})", 0, "InitSetting 12 b_mode_:0", "unicom"},
        {R"({"appSetting":{"b_mode":"99999999999"}})", INT_MAX, "InitSetting 12 b_mode_:2147483647", "unicom"},
        {R"({"appSetting":[{"b_mode":3}]})", 1, nullptr, "unicom"},
        {R"({"appSetting":{"b_mode":null}})", 1, nullptr, "unicom"},
    };
    for (const Case& c : cases) {
        XK83T fresh;
        fresh.data_id_ = 12;
        host.clear();
        EXPECT_EQ(fresh.InitSetting(json(c.settings)), 1) << c.settings;
        EXPECT_EQ(fresh.b_mode_, c.mode) << c.settings;
        const auto lines = host.console();
        const auto mode_lines = lines_starting(lines, "InitSetting ");
        if (c.mode_line)
            EXPECT_EQ(mode_lines, std::vector<std::string>{c.mode_line}) << c.settings;
        else
            EXPECT_TRUE(mode_lines.empty()) << c.settings;
        const std::string fifth = std::string("test ini/yaml:./ini/") + c.operator_folder + "/12.yaml";
        EXPECT_EQ(lines_starting(lines, "test ini/yaml:").at(4), fifth) << c.settings;
    }
}

TEST_F(Settings, StepsRunInOrderAndTheMasterComesLast)
{
    device.data_id_ = 12;
    dir.write("ini/mobile/12.yaml", "ALARM:\n  A1_1: alarm1,upper\n");
    device.InitSetting(json(R"({"appSetting":{"b_mode":3},"thresholdSetting":{}})"));
    const auto whats = host.whats();
    ASSERT_FALSE(whats.empty());
    EXPECT_EQ(whats.back(), "modbus_init_setting");
    const auto lines = host.console();
    const std::vector<std::string> expected = {
        "InitSetting 12 b_mode_:3",
        "test ini/yaml:./ini/12.yaml",
        "test ini/yaml:./ini/12.ini",
        "test ini/yaml:./ini/xk83t.yaml",
        "test ini/yaml:./ini/xk83t.ini",
        "test ini/yaml:./ini/mobile/12.yaml",
        "parse ini/yaml filename:./ini/mobile/12.yaml",
        "before load",
        "after load",
        "before parse alarm",
        "after parse alarm",
        "AI 12",
        "here 1",
        "here 2",
    };
    EXPECT_EQ(lines, expected);
    EXPECT_EQ(device.alarm_rule_map_.at("A1_1"), "alarm1,upper");
}

TEST_F(Settings, ReaderErrorsPropagateWithTheModeAlreadyChanged)
{
    struct Case {
        const char* file;
        const char* text;
        int mode;
    };
    const Case cases[] = {
        {"ini/12.yaml", "AI: [unclosed\n", 1},
        {"ini/12.yaml", "just a scalar\n", 3},
        {"ini/12.yaml", "ALARM:\n  - a\n  - b\n", 3},
        {"ini/12.ini", "[AI\nx=1\n", 3},
        {"ini/12.ini", "[ALARM]\na=1\n", 1},
        {"ini/12.ini", "[AI]\na=1\n", 3},
    };
    for (const Case& c : cases) {
        TempWorkdir own;
        own.write(c.file, c.text);
        XK83T fresh;
        fresh.data_id_ = 12;
        host.clear();
        const std::string settings = R"({"appSetting":{"b_mode":)" + std::to_string(c.mode) + "}}";
        EXPECT_ANY_THROW(fresh.InitSetting(json(settings))) << c.text;
        EXPECT_EQ(fresh.b_mode_, c.mode) << c.text;
        EXPECT_TRUE(host.of("modbus_init_setting").empty()) << c.text;
        const auto* record = reinterpret_cast<const unsigned char*>(&fresh.data_);
        EXPECT_EQ(record[0], 12) << c.text;
    }
}

TEST_F(Settings, LaterCallsKeepEarlierRuleEntries)
{
    device.data_id_ = 12;
    dir.write("ini/12.yaml", "AI:\n  A路进线-电压: abcdefghij,电压\nALARM:\n  系统总告警状态: id1,x\n");
    device.InitSetting(json(R"({"appSetting":{"b_mode":1}})"));
    dir.write("ini/12.yaml", "ALARM:\n  A01电压_1: k1,upper\n");
    device.InitSetting(json(R"({"appSetting":{"b_mode":3}})"));

    EXPECT_EQ(device.ai_rule_map_.at("A路进线-电压"), std::make_pair(std::string("abcdefghij"), std::string("电压")));
    EXPECT_EQ(device.alarm_rule_map_.at("系统总告警状态"), "id1");
    EXPECT_EQ(device.alarm_rule_map_.at("A01电压_1"), "k1,upper");
    // The listing after the second file still names the first file's AI rule.
    EXPECT_EQ(lines_starting(host.console(), "first:").back(), "first:A路进线-电压 second:abcdefghij name:电压");
}

TEST(NumberText, ReadsLikeTheCConversionsButClampsOutOfRange)
{
    const std::pair<const char*, int> ints[] = {
        {"12", 12},     {"  -7x", -7},   {"+3", 3},           {"abc", 0},
        {"", 0},        {"3.9", 3},      {"99999999999", INT_MAX}, {"-99999999999", INT_MIN},
    };
    for (const auto& [text, value] : ints)
        EXPECT_EQ(xk83t::int_from_text(text), value) << text;

    const std::pair<const char*, float> floats[] = {
        {"80", 80.0f}, {"42.3", 42.3f}, {"abc", 0.0f}, {" 1e3", 1000.0f}, {"1e300", FLT_MAX}, {"-1e300", -FLT_MAX},
    };
    for (const auto& [text, value] : floats)
        EXPECT_EQ(xk83t::float_from_text(text), value) << text;
}

}  // namespace
