// "thresholdSetting": alarm descriptions (mode 3) and threshold limits (mode 5).

#include "support/recording_host.h"
#include "support/temp_workdir.h"

#include <config/threshold_settings.h>
#include <device/xk83t.h>

#include <gtest/gtest.h>
#include <json/reader.h>

using namespace xk83t_test;
using xk83t::ThresholdRule;

namespace {

Json::Value json(const std::string& text)
{
    Json::Value v;
    EXPECT_TRUE(Json::Reader().parse(text, v)) << text;
    return v;
}

std::vector<std::string> threshold_lines(const RecordingHost& host)
{
    std::vector<std::string> out;
    bool in_step = false;
    for (const auto& line : host.console()) {
        in_step = in_step || line == "here 1";
        if (in_step)
            out.push_back(line);
    }
    return out;
}

class ThresholdSettings : public ::testing::Test {
protected:
    ThresholdSettings() { device.data_id_ = 12; }

    void init(int mode, const std::string& threshold_setting)
    {
        host.clear();
        std::string doc = R"({"appSetting":{"b_mode":)" + std::to_string(mode) + "}";
        if (!threshold_setting.empty())
            doc += R"(,"thresholdSetting":)" + threshold_setting;
        device.InitSetting(json(doc + "}"));
    }

    TempWorkdir dir;
    RecordingHost host;
    XK83T device;
};

TEST_F(ThresholdSettings, MobileAlarmWithEveryPart)
{
    init(3, R"({"A01":{"SignalName":"A01电压","NMAlarmID":"nm1","ID":"id1","SignalNumber":"7"}})");
    EXPECT_EQ(threshold_lines(host), (std::vector<std::string>{
                                         "here 1", "here 2", "here A01", "mobile:A01:nm1;id1;7; level:0 value:0"}));
    EXPECT_EQ(device.alarm_info_map_.at("A01"), "nm1;id1;7;");
    EXPECT_EQ(device.signal_name_map_.at("A01"), "A01电压");
    // The host's tables gained zero entries for the key.
    EXPECT_EQ(device.threshold_level_map_.count("A01"), 1u);
    EXPECT_EQ(device.threshold_value_map_.count("A01"), 1u);
}

TEST_F(ThresholdSettings, MobileAlarmWithMissingPartsAndOddMembers)
{
    device.threshold_level_map_["k2"] = 2;
    device.threshold_value_map_["k2"] = 50.5f;
    device.signal_name_map_["k2"] = "earlier";
    init(3, R"({"k1":5,"k2":{"ID":17}})");
    EXPECT_EQ(threshold_lines(host), (std::vector<std::string>{
                                         "here 1", "here 2", "here k1", "here k2", "12 NMAlarmID is missing",
                                         "12 SignalNumber is missing", "mobile:k2:;17;; level:2 value:50.5"}));
    EXPECT_EQ(device.alarm_info_map_.at("k2"), ";17;;");
    EXPECT_EQ(device.signal_name_map_.at("k2"), "earlier");
    EXPECT_EQ(device.alarm_info_map_.count("k1"), 0u);
}

TEST_F(ThresholdSettings, MobileShapesOfTheWholeSetting)
{
    init(3, "");
    EXPECT_EQ(threshold_lines(host), std::vector<std::string>{"here 1"});
    init(3, "7");
    EXPECT_EQ(threshold_lines(host), (std::vector<std::string>{"here 1", "here 2"}));
    host.clear();
    EXPECT_ANY_THROW(device.InitSetting(json(R"({"appSetting":{"b_mode":3},"thresholdSetting":[{"ID":1}]})")));
    EXPECT_TRUE(host.of("modbus_init_setting").empty());
}

TEST_F(ThresholdSettings, LimitsAreTakenOnlyWhenComplete)
{
    init(5, R"({
      "m1": {"ID":"X", "SignalName":"A路进线-电压", "UpValue":80, "UpReconverValue":75, "UpAlarmLevel":2,
             "Up2Value":"90", "Up2ReconverValue":"85", "Up2AlarmLevel":"",
             "LowValue":"40", "LowReconverValue":"45",
             "Low2Value":"abc", "Low2ReconverValue":"1e300", "Low2AlarmLevel":"3"},
      "m2": {"ID":"", "SignalName":"B路进线-电压", "UpValue":1, "UpReconverValue":1, "UpAlarmLevel":1},
      "m3": {"ID":"Y", "UpValue":1, "UpReconverValue":1, "UpAlarmLevel":1},
      "m4": 12
    })");
    EXPECT_EQ(device.up_threshold_map_,
              (xk83t::ThresholdMap{{"A路进线-电压", ThresholdRule("X001", 80.0f, 75.0f, false, 2)}}));
    EXPECT_TRUE(device.up2_threshold_map_.empty());  // empty level
    EXPECT_TRUE(device.low_threshold_map_.empty());  // missing level
    EXPECT_EQ(device.low2_threshold_map_,
              (xk83t::ThresholdMap{{"A路进线-电压", ThresholdRule("X004", 0.0f, FLT_MAX, false, 3)}}));
    EXPECT_TRUE(threshold_lines(host).empty());
}

TEST_F(ThresholdSettings, TheLaterMemberWithTheSameSignalNameWinsWhatItDefines)
{
    init(5, R"({
      "a": {"ID":"A", "SignalName":"S", "UpValue":1, "UpReconverValue":0, "UpAlarmLevel":1,
                                       "LowValue":-1, "LowReconverValue":0, "LowAlarmLevel":1},
      "b": {"ID":"B", "SignalName":"S", "UpValue":2, "UpReconverValue":1, "UpAlarmLevel":2}
    })");
    EXPECT_EQ(std::get<xk83t::kAlarmId>(device.up_threshold_map_.at("S")), "B001");
    EXPECT_EQ(std::get<xk83t::kAlarmId>(device.low_threshold_map_.at("S")), "A003");
}

TEST_F(ThresholdSettings, EachModeFiveCallRebuildsTheLimits)
{
    init(5, R"({"a":{"ID":"A","SignalName":"S","UpValue":1,"UpReconverValue":0,"UpAlarmLevel":1}})");
    std::get<xk83t::kActive>(device.up_threshold_map_.at("S")) = true;
    init(5, R"({"a":{"ID":"A","SignalName":"S","UpValue":1,"UpReconverValue":0,"UpAlarmLevel":1}})");
    EXPECT_FALSE(std::get<xk83t::kActive>(device.up_threshold_map_.at("S")));
    init(5, "");
    EXPECT_TRUE(device.up_threshold_map_.empty());
}

TEST_F(ThresholdSettings, OtherModesTakeNothing)
{
    const std::string setting =
        R"({"a":{"ID":"A","SignalName":"S","NMAlarmID":"n","SignalNumber":"1","UpValue":1,"UpReconverValue":0,"UpAlarmLevel":1}})";
    for (int mode : {0, 1, 2, 4}) {
        XK83T fresh;
        host.clear();
        fresh.InitSetting(json(R"({"appSetting":{"b_mode":)" + std::to_string(mode) + R"(},"thresholdSetting":)" +
                               setting + "}"));
        EXPECT_TRUE(fresh.up_threshold_map_.empty() && fresh.alarm_info_map_.empty() &&
                    fresh.signal_name_map_.empty())
            << mode;
        EXPECT_TRUE(threshold_lines(host).empty()) << mode;
    }
}

}  // namespace
