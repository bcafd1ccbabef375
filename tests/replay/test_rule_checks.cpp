// The rule checks against a small display vocabulary: every kind of mistake
// that keeps a rule from ever firing, and silence for rules that are fine.

#include <rule_checks.h>

#include <gtest/gtest.h>

#include <json/reader.h>

#include <string>
#include <vector>

namespace {

using namespace xk83t_replay;

Vocabulary vocabulary()
{
    Vocabulary v;
    v.members = {{"A路进线-电压", true}, {"A路进线-电流", true}, {"A01电压", true}, {"A02电压", true},
                 {"系统总告警状态", false}, {"更新时间", false}};
    return v;
}

Json::Value json(const std::string& text)
{
    Json::Value value;
    std::string errors;
    std::istringstream in(text);
    EXPECT_TRUE(Json::parseFromStream(Json::CharReaderBuilder(), in, &value, &errors)) << errors;
    return value;
}

std::vector<std::string> lines(const std::vector<Finding>& findings)
{
    std::vector<std::string> out;
    for (const auto& f : findings)
        out.push_back(f.file + ": " + f.key + ": " + f.message);
    return out;
}

xk83t::ThresholdRule limit(const std::string& id, float threshold, float recover)
{
    return xk83t::ThresholdRule(id, threshold, recover, false, 1);
}

TEST(RuleChecks, AnalogRulesNeedANumericSignalAndANineCharacterId)
{
    LoadedRules rules;
    rules.mode = 1;
    rules.rule_file = "./ini/12.yaml";
    rules.ai_rules = {{"A路进线-电压", {"0418101001", "A路进线电压"}},
                      {"A路进线电压", {"0418101002", "misspelt"}},
                      {"系统总告警状态", {"0418101003", "a text"}},
                      {"A01电压", {"04181010", "id too short"}}};
    rules.alarm_rules = {{"系统总告警状态", "0417001001"}, {"whatever", "x"}};

    EXPECT_EQ(lines(check_loaded_rules(rules, vocabulary(), Json::Value(), "settings.json")),
              (std::vector<std::string>{
                  "./ini/12.yaml: AI/A01电压: signal id \"04181010\" is shorter than nine characters",
                  "./ini/12.yaml: AI/A路进线电压: unknown data name \"A路进线电压\" (did you mean \"A路进线-电压\"?)",
                  "./ini/12.yaml: AI/系统总告警状态: data name \"系统总告警状态\" is a text in the display document, "
                  "not a number",
              }));
}

TEST(RuleChecks, ComparisonRulesNeedASignalAWordAndAnAlarmKeyInTheSettings)
{
    LoadedRules rules;
    rules.mode = 3;
    rules.rule_file = "./ini/mobile/12.yaml";
    rules.alarm_rules = {{"A路进线-电压_1", "K1,upper"},      // fine
                         {"A路进线-电压_2", "K1,Upper"},      // word is case-sensitive
                         {"A路进线-电压_3", "K1"},            // no comparison at all
                         {"系统总告警状态", "K1,notequal"},   // texts compare too: fine
                         {"A路进线电压_1", "K2,lower"},       // misspelt, and K2 is missing
                         {"A01电压_1", "K3,equal"}};          // K3 is not an object
    rules.alarm_info = {{"K1", "N;I;S;"}};
    const Json::Value settings = json(R"({"thresholdSetting":{"K1":{"ID":"I"},"K3":5}})");

    EXPECT_EQ(lines(check_loaded_rules(rules, vocabulary(), settings, "settings.json")),
              (std::vector<std::string>{
                  "./ini/mobile/12.yaml: ALARM/A01电压_1: \"thresholdSetting\" member \"K3\" in settings.json is not "
                  "an object",
                  "./ini/mobile/12.yaml: ALARM/A路进线-电压_2: unknown comparison word \"Upper\" (upper, lower, "
                  "equal or notequal)",
                  "./ini/mobile/12.yaml: ALARM/A路进线-电压_3: value \"K1\" has no comparison word (alarm "
                  "key,comparison)",
                  "./ini/mobile/12.yaml: ALARM/A路进线电压_1: unknown data name \"A路进线电压\" (did you mean "
                  "\"A路进线-电压\"?)",
                  "./ini/mobile/12.yaml: ALARM/A路进线电压_1: alarm key \"K2\" has no \"thresholdSetting\" member",
              }));
}

TEST(RuleChecks, LimitsNeedANumericSignalAndARecoveryInsideTheAlarm)
{
    // The reader keyed the limits by signal name; the findings name the
    // member each came from (the later of two members naming one signal).
    const Json::Value settings = json(R"({"thresholdSetting":{
        "a_volt":  {"ID":"1","SignalName":"A路进线-电压","UpValue":"57","UpReconverValue":"60","UpAlarmLevel":"1"},
        "b_volt":  {"ID":"2","SignalName":"A路进线-电压","LowValue":"43","LowReconverValue":"45","LowAlarmLevel":"1",
                    "Low2Value":"40","Low2ReconverValue":"40","Low2AlarmLevel":"1"},
        "current": {"ID":"3","SignalName":"A路进线-电流","UpValue":"80","UpReconverValue":"75","UpAlarmLevel":"1",
                    "LowValue":"5","LowReconverValue":"4","LowAlarmLevel":"1"},
        "typo":    {"ID":"4","SignalName":"A01电亚","UpValue":"1","UpReconverValue":"0","UpAlarmLevel":"1",
                    "LowValue":"0","LowReconverValue":"1","LowAlarmLevel":"1"},
        "text":    {"ID":"5","SignalName":"更新时间","Up2Value":"1","Up2ReconverValue":"0","Up2AlarmLevel":"1"}}})");
    LoadedRules rules;
    rules.mode = 5;
    rules.up = {{"A路进线-电压", limit("1001", 57, 60)}, {"A路进线-电流", limit("3001", 80, 75)},
                {"A01电亚", limit("4001", 1, 0)}};
    rules.up2 = {{"更新时间", limit("5002", 1, 0)}};
    rules.low = {{"A路进线-电压", limit("2003", 43, 45)}, {"A路进线-电流", limit("3003", 5, 4)},
                 {"A01电亚", limit("4003", 0, 1)}};
    rules.low2 = {{"A路进线-电压", limit("2004", 40, 40)}};

    EXPECT_EQ(lines(check_loaded_rules(rules, vocabulary(), settings, "dev12.json")),
              (std::vector<std::string>{
                  "dev12.json: thresholdSetting/typo: unknown data name \"A01电亚\" (did you mean \"A01电压\"?)",
                  "dev12.json: thresholdSetting/a_volt: Up: recovery value 60 is not below the threshold 57",
                  "dev12.json: thresholdSetting/text: data name \"更新时间\" is a text in the display document, not "
                  "a number",
                  "dev12.json: thresholdSetting/current: Low: recovery value 4 is not above the threshold 5",
                  "dev12.json: thresholdSetting/b_volt: Low2: recovery value 40 is not above the threshold 40",
              }));
}

TEST(RuleChecks, ModesThatEvaluateNoRulesHaveNothingToCheck)
{
    for (int mode : {0, 2, 4, -1}) {
        LoadedRules rules;
        rules.mode = mode;
        rules.ai_rules = {{"no such signal", {"x", "y"}}};
        rules.alarm_rules = {{"no such signal", "K,odd"}};
        EXPECT_TRUE(check_loaded_rules(rules, vocabulary(), Json::Value(), "s.json").empty()) << mode;
    }
}

TEST(RuleChecks, SuggestsOnlyAnUnambiguousNearName)
{
    const Vocabulary v = vocabulary();
    EXPECT_EQ(closest_member(v, "A路进线电压"), "A路进线-电压");
    EXPECT_EQ(closest_member(v, "A路进线-电亚"), "");  // as near to 电压 as to 电流
    EXPECT_EQ(closest_member(v, "B路出线"), "");
    EXPECT_EQ(closest_member(v, "A0"), "");
}

}  // namespace
