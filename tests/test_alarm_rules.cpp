// Rule evaluation of modes 1, 3 and 5 and the device's own alarm step,
// against hand-made display documents.

#include "support/manual_clock.h"
#include "support/recording_host.h"

#include <alarms/float_text.h>
#include <alarms/rule_evaluation.h>
#include <alarms/stream_text.h>
#include <device/xk83t.h>

#include <gtest/gtest.h>
#include <json/writer.h>

#include <cstdio>
#include <cstring>
#include <limits>
#include <sstream>

using namespace xk83t_test;

namespace {

class AlarmRules : public ::testing::Test {
protected:
    ManualClock clock{"2024-03-05 07:04:09"};
    RecordingHost host;
    XK83T device;
    Json::Value doc{Json::objectValue};
};

TEST_F(AlarmRules, AnalogRuleChecksUnderTheRewrittenIdAndReportsUnderTheOwnId)
{
    doc["A路进线-电压"] = 53.5;
    SMDVDevice::BAOSetting fallback;
    fallback.change_report = true;
    fallback.change_step = 1;
    device.bao_settings_["abc6efgh1j"] = fallback;

    xk83t::evaluate_ai_rules(device, doc, {{"A路进线-电压", {"abcdefghij", "A路电压"}}});

    ASSERT_EQ(host.whats(), (std::vector<std::string>{"check_threshold", "check_ao_report"}));
    const HostCall check = host.calls[0];
    EXPECT_EQ(check.texts, (std::vector<std::string>{"abc6efgh1j", "A路电压"}));
    EXPECT_FLOAT_EQ(check.value, 53.5f);
    EXPECT_EQ(check.ints, std::vector<long long>{1});
    EXPECT_EQ(host.calls[1].texts, std::vector<std::string>{"abcdefghij"});
    // The report id got its own copy of the fallback setting, now updated.
    EXPECT_FLOAT_EQ(device.bao_settings_.at("abcdefghij").last_report_value, 53.5f);
    EXPECT_FLOAT_EQ(device.bao_settings_.at("abc6efgh1j").last_report_value, 0.0f);
}

TEST_F(AlarmRules, AnalogRulesThatCannotBeEvaluatedArePassedOver)
{
    doc["status"] = "告警";
    doc["list"] = Json::Value(Json::arrayValue);
    doc["list"].append(1);
    doc["ok"] = 1.0;
    doc["ok2"] = 2.0;
    xk83t::evaluate_ai_rules(device, doc,
                             {
                                 {"missing", {"abcdefghij", "m"}},  // not in the document
                                 {"status", {"abcdefghij", "s"}},   // a text
                                 {"list", {"abcdefghij", "l"}},     // an array
                                 {"ok", {"short", "o"}},            // id without a 9th character
                                 {"ok2", {"abcdefghi", "o"}},
                             });
    ASSERT_EQ(host.of("check_threshold").size(), 1u);
    EXPECT_EQ(host.of("check_threshold")[0].texts[0], "abc6efgh1");
    EXPECT_TRUE(doc.isMember("missing"));
    EXPECT_TRUE(doc["missing"].isNull());
}

TEST_F(AlarmRules, ReportFilter)
{
    struct Case {
        const char* what;
        bool change, percent, period;
        float step, percent_step, minutes;
        long age_seconds;
        float last, value;
        bool reports;
    };
    const Case cases[] = {
        {"period, 10 min old", false, false, true, 0, 0, 5, 600, 0, 1, true},
        {"period, 1 min old", false, false, true, 0, 0, 5, 60, 0, 1, false},
        {"change within step", true, false, false, 1, 0, 0, 0, 10, 11, false},
        {"change beyond step", true, false, false, 1, 0, 0, 0, 10, 11.5f, true},
        {"change below step", true, false, false, 1, 0, 0, 0, 10, 8.5f, true},
        {"percent within", false, true, false, 0, 10, 0, 0, 100, 109, false},
        {"percent beyond", false, true, false, 0, 10, 0, 0, 100, 111, true},
        {"percent below", false, true, false, 0, 10, 0, 0, 100, 89, true},
        {"all off", false, false, false, 0, 0, 0, 0, 0, 1000, false},
    };
    for (const Case& c : cases) {
        host.clear();
        SMDVDevice::BAOSetting s;
        s.change_report = c.change;
        s.change_step = c.step;
        s.percent_report = c.percent;
        s.percent_step = c.percent_step;
        s.period_report = c.period;
        s.period_minutes = c.minutes;
        s.last_report_value = c.last;
        s.last_report_time = static_cast<std::uint32_t>(clock.epoch_seconds() - c.age_seconds);
        device.bao_settings_.clear();
        device.bao_settings_["id"] = s;
        EXPECT_EQ(device.CheckAOReport("fallback", "id", c.value), c.reports) << c.what;
        EXPECT_EQ(host.of("check_ao_report").size(), c.reports ? 1u : 0u) << c.what;
        const auto& after = device.bao_settings_.at("id");
        EXPECT_FLOAT_EQ(after.last_report_value, c.reports ? c.value : c.last) << c.what;
        if (c.reports) {
            EXPECT_EQ(after.last_report_time, static_cast<std::uint32_t>(clock.epoch_seconds())) << c.what;
        }
    }
    device.bao_settings_.clear();
    EXPECT_FALSE(device.CheckAOReport("fallback", "id", 1));
    EXPECT_TRUE(device.bao_settings_.empty());
}

TEST_F(AlarmRules, ComparisonRulesCallEveryCycleWhateverTheOutcome)
{
    device.threshold_level_map_["A1"] = 1;
    device.threshold_value_map_["A1"] = 50;
    device.alarm_info_map_["A1"] = "nm;id;7;";
    device.signal_name_map_["A1"] = "A路电压";
    const xk83t::TextMap rules = {{"A路进线-电压_1", "A1,upper"}};
    for (const auto& [value, state] : {std::pair{50.0, false}, std::pair{50.5, true}}) {
        host.clear();
        doc["A路进线-电压"] = value;
        xk83t::evaluate_alarm_rules(device, doc, rules, device.alarm_info_map_, device.signal_name_map_);
        const std::string shown = value == 50.0 ? "50.0" : "50.5";
        EXPECT_EQ(host.console(), std::vector<std::string>{"dataName:A路进线-电压 alarmId:A1 alarmComp:upper level:1 "
                                                            "realvalue:" + shown + " vs 50"});
        ASSERT_EQ(host.of("check_threshold_bool").size(), 1u);
        const HostCall call = host.of("check_threshold_bool")[0];
        EXPECT_EQ(call.ints, (std::vector<long long>{1, state, 1}));
        EXPECT_EQ(call.texts, (std::vector<std::string>{"A1", "A1", "A路电压", "nm;id;7;" + shown}));
    }
}

TEST_F(AlarmRules, ComparisonWords)
{
    doc["v"] = 50.0;
    doc["t"] = "text";
    device.threshold_level_map_["k"] = 3;
    device.threshold_value_map_["k"] = 50;
    struct Case {
        const char* rule;
        const char* data;
        int calls;
        bool state;
    };
    const Case cases[] = {
        {"k,upper", "v", 1, false}, {"k,lower", "v", 1, false},  {"k,equal", "v", 1, true},
        {"k,notequal", "v", 1, false}, {"k,Upper", "v", 0, false}, {"k", "v", 0, false},
        {"k,upper", "t", 1, true},    // a text orders above any number
        {"k,lower", "none", 1, true}, // a missing member reads as null, below any number
    };
    for (const Case& c : cases) {
        host.clear();
        xk83t::evaluate_alarm_rules(device, doc, {{std::string(c.data) + "_x", c.rule}}, device.alarm_info_map_,
                                    device.signal_name_map_);
        EXPECT_EQ(host.console().size(), 1u) << c.rule;
        ASSERT_EQ(host.of("check_threshold_bool").size(), static_cast<std::size_t>(c.calls)) << c.rule;
        if (c.calls) {
            EXPECT_EQ(host.of("check_threshold_bool")[0].ints[1], c.state) << c.rule << " " << c.data;
        }
    }
}

TEST_F(AlarmRules, ComparisonRulesWithLevelZeroOnlyPrint)
{
    doc["v"] = 1.0;
    xk83t::evaluate_alarm_rules(device, doc, {{"v", "unknown,upper"}}, device.alarm_info_map_,
                                device.signal_name_map_);
    EXPECT_EQ(host.whats(), std::vector<std::string>{"out"});
    EXPECT_EQ(host.console()[0], "dataName:v alarmId:unknown alarmComp:upper level:0 realvalue:1.0 vs 0");
    // The lookups left default entries behind in the host's tables.
    EXPECT_EQ(device.threshold_level_map_.count("unknown"), 1u);
    EXPECT_EQ(device.threshold_value_map_.count("unknown"), 1u);
}

TEST_F(AlarmRules, TwoRulesForOneSignal)
{
    doc["A路进线-电压"] = 55.0;
    device.threshold_level_map_ = {{"hi", 1}, {"lo", 2}};
    device.threshold_value_map_ = {{"hi", 57}, {"lo", 43}};
    xk83t::evaluate_alarm_rules(device, doc, {{"A路进线-电压_1", "hi,upper"}, {"A路进线-电压_2", "lo,lower"}},
                                device.alarm_info_map_, device.signal_name_map_);
    const auto calls = host.of("check_threshold_bool");
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].texts[0], "hi");
    EXPECT_EQ(calls[1].texts[0], "lo");
    EXPECT_EQ(host.console().size(), 2u);
}

TEST_F(AlarmRules, UpperLimitWithHysteresis)
{
    xk83t::ThresholdMap up = {{"A路进线-电压", xk83t::ThresholdRule("X001", 57, 55, false, 2)}};
    const struct {
        double value;
        bool active;
        const char* text;
    } cycles[] = {{56, false, ""}, {57, true, "当前值57高于阈值:57"}, {56, true, "当前值56高于阈值:57"}, {55, false, ""}};
    for (const auto& c : cycles) {
        host.clear();
        doc["A路进线-电压"] = c.value;
        device.json_ = doc;
        device.CheckSignalThresholdMap(up, true);
        ASSERT_EQ(host.of("check_threshold_bool").size(), 1u) << c.value;
        const HostCall call = host.of("check_threshold_bool")[0];
        EXPECT_EQ(call.ints, (std::vector<long long>{2, c.active, 1})) << c.value;
        EXPECT_EQ(call.texts, (std::vector<std::string>{"A路进线-电压", "X001", xk83t::float_text(float(c.value)), c.text}));
    }
}

TEST_F(AlarmRules, LowerLimitTextAndNumberFormat)
{
    xk83t::ThresholdMap low = {{"v", xk83t::ThresholdRule("Y003", 43, 45, false, 1)}};
    doc["v"] = 42.3;
    xk83t::check_threshold_map(device, doc, low, false);
    const HostCall call = host.of("check_threshold_bool").at(0);
    EXPECT_EQ(call.texts[2], "42.2999992");
    EXPECT_EQ(call.texts[3], "当前值42.2999992低于阈值:43");

    EXPECT_EQ(xk83t::float_text(57.5f), "57.5");
    EXPECT_EQ(xk83t::float_text(0.1f), "0.100000001");
    EXPECT_EQ(xk83t::float_text(1e20f), "1.00000002e+20");
}

TEST_F(AlarmRules, LimitsOnMissingOrNonNumericSignalsMakeNoCall)
{
    doc["text"] = "正常";
    xk83t::ThresholdMap up = {{"text", xk83t::ThresholdRule("A001", 1, 0, false, 1)},
                              {"absent", xk83t::ThresholdRule("B001", 1, 0, false, 1)}};
    xk83t::check_threshold_map(device, doc, up, true);
    EXPECT_TRUE(host.calls.empty());
    EXPECT_FALSE(doc.isMember("absent"));
    EXPECT_FALSE(std::get<xk83t::kActive>(up.at("text")));
}

TEST_F(AlarmRules, ModeFiveRunsTheFourMapsInOrder)
{
    device.json_["S"] = 100.0;
    device.up_threshold_map_["S"] = xk83t::ThresholdRule("I001", 90, 80, false, 1);
    device.up2_threshold_map_["S"] = xk83t::ThresholdRule("I002", 95, 85, false, 2);
    device.low_threshold_map_["S"] = xk83t::ThresholdRule("I003", 10, 20, false, 3);
    device.low2_threshold_map_["S"] = xk83t::ThresholdRule("I004", 5, 15, false, 4);
    device.b_mode_ = 5;
    device.RoundDone();
    std::vector<std::string> ids;
    for (const auto& call : host.of("check_threshold_bool"))
        ids.push_back(call.texts[1]);
    EXPECT_EQ(ids, (std::vector<std::string>{"I001", "I002", "I003", "I004"}));
    EXPECT_TRUE(std::get<xk83t::kActive>(device.up_threshold_map_["S"]));
    EXPECT_TRUE(std::get<xk83t::kActive>(device.up2_threshold_map_["S"]));
    EXPECT_FALSE(std::get<xk83t::kActive>(device.low_threshold_map_["S"]));
}

TEST_F(AlarmRules, SystemTotalAlarmInModeOne)
{
    device.alarm_rule_map_["系统总告警状态"] = "X";
    for (const auto& [reg, state] : {std::pair{1, true}, std::pair{0, false}, std::pair{2, false}}) {
        host.clear();
        device.data_.sys_alarm = static_cast<std::uint16_t>(reg);
        device.check_seq_ = 1;
        device.RunCheckThreshold();
        ASSERT_EQ(host.calls.size(), 1u);
        const HostCall call = host.calls[0];
        EXPECT_EQ(call.what, "check_threshold_bool");
        EXPECT_EQ(call.ints, (std::vector<long long>{2, state, 1})) << reg;
        EXPECT_EQ(call.texts, (std::vector<std::string>{"X", "X", "系统总告警状态", "系统总告警状态"}));
        EXPECT_EQ(device.check_seq_, 2);
    }
}

TEST_F(AlarmRules, NoSystemTotalAlarmWithoutAnIdOrOutsideModeOne)
{
    device.RunCheckThreshold();  // no entry
    device.alarm_rule_map_["系统总告警状态"] = "";
    device.RunCheckThreshold();  // empty id
    device.alarm_rule_map_["系统总告警状态"] = "X";
    for (int mode : {0, 2, 3, 4, 5}) {
        device.b_mode_ = mode;
        device.RunCheckThreshold();
    }
    EXPECT_TRUE(host.calls.empty());
}

TEST_F(AlarmRules, SystemTotalAlarmWithinACycle)
{
    device.alarm_rule_map_["系统总告警状态"] = "X";
    device.data_.sys_alarm = 1;
    device.RoundDone();
    const auto calls = host.of("check_threshold_bool");
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].ints, (std::vector<long long>{2, 1, 1}));
    EXPECT_EQ(device.check_seq_, 2);
}

// Alarm texts show numbers exactly as printf's "%.*g" at precision 9 and
// as the JSON library's stream output write them, however they are made.
TEST(NumberTexts, FloatTextIsWhatPrintfWrites)
{
    std::vector<float> values = {0.0f, -0.0f, 57.5f, 57.0f, 0.1f, 42.3f, 1e20f, -1e-20f, 123456789.0f,
                                 std::numeric_limits<float>::max(), std::numeric_limits<float>::min(),
                                 std::numeric_limits<float>::denorm_min(), std::numeric_limits<float>::infinity(),
                                 -std::numeric_limits<float>::infinity()};
    // A spread over every exponent and sign, NaNs included.
    for (std::uint64_t bits = 0; bits <= 0xFFFFFFFFu; bits += 65521) {
        const auto pattern = static_cast<std::uint32_t>(bits);
        float value;
        std::memcpy(&value, &pattern, sizeof value);
        values.push_back(value);
    }
    for (float value : values) {
        char expected[64];
        std::snprintf(expected, sizeof expected, "%.*g", 9, static_cast<double>(value));
        ASSERT_EQ(xk83t::float_text(value), expected);
    }
}

TEST(NumberTexts, StreamTextIsWhatTheStreamOutputWrites)
{
    Json::Value commented(1.5);
    commented.setComment(std::string("// set by hand"), Json::commentAfterOnSameLine);
    Json::Value object(Json::objectValue);
    object["电压"] = 53.5;
    const Json::Value values[] = {Json::Value(),     Json::Value(50.0),  Json::Value(50.5),
                                  Json::Value(25.299999237060547), Json::Value(-1.0), Json::Value(1e21),
                                  Json::Value(1e-7), Json::Value(42949662.96), Json::Value(0.1),
                                  Json::Value(-0.0), Json::Value("正常"), Json::Value(7),
                                  Json::Value(7u),   Json::Value(true),  object,
                                  commented};
    for (const Json::Value& value : values) {
        std::ostringstream expected;
        expected << value;
        EXPECT_EQ(xk83t::stream_text(value), expected.str());
    }
}

}  // namespace
