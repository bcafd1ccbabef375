// Whole polling cycles with rule sets of realistic size: every numeric
// signal of the document ruled. Run in the sanitizer builds too.

#include "support/fixtures.h"
#include "support/manual_clock.h"
#include "support/recording_host.h"
#include "support/temp_workdir.h"

#include <device/xk83t.h>

#include <gtest/gtest.h>

using namespace xk83t_test;

namespace {

class AlarmCycle : public ::testing::Test {
protected:
    AlarmCycle()
    {
        device.data_id_ = 4;
        device.b_mode_ = 0;
        device.LoadFromCache(std::string(sizeof(XK83T_Data_t), '\0'));
        device.GenJsonData();
        for (const std::string& name : device.json_.getMemberNames())
            if (device.json_[name].isDouble())
                numeric.push_back(name);
        host.clear();
    }

    int poll()
    {
        clock.advance(1);
        host.clear();
        return host.poll(device, image);
    }

    TempWorkdir dir;
    ManualClock clock{"2024-03-05 07:04:09"};
    RecordingHost host;
    XK83T device;
    RegisterImage image = patterned_image();
    std::vector<std::string> numeric;
};

TEST_F(AlarmCycle, FourLimitsOnEveryNumericSignal)
{
    ASSERT_EQ(numeric.size(), 596u);  // identity 4, lines 14, feeders 576, climate 2
    Json::Value settings;
    settings["appSetting"]["b_mode"] = 5;
    for (std::size_t i = 0; i < numeric.size(); ++i) {
        Json::Value& m = settings["thresholdSetting"]["m" + std::to_string(i)];
        m["ID"] = "04181" + std::to_string(1000 + i);
        m["SignalName"] = numeric[i];
        for (const char* limit : {"Up", "Up2", "Low", "Low2"}) {
            const bool upper = limit[0] == 'U';
            m[std::string(limit) + "Value"] = upper ? 1000 : 1;
            m[std::string(limit) + "ReconverValue"] = upper ? 900 : 2;
            m[std::string(limit) + "AlarmLevel"] = 2;
        }
    }
    device.InitSetting(settings);

    for (int cycle = 0; cycle < 3; ++cycle) {
        EXPECT_EQ(poll(), 41);
        EXPECT_EQ(host.of("check_threshold_bool").size(), 4 * numeric.size());
        EXPECT_EQ(host.of("save_history").size(), 1u);
    }
}

TEST_F(AlarmCycle, AnalogAndComparisonRulesOnEveryNumericSignal)
{
    std::string ai = "AI:\n", alarm = "ALARM:\n";
    for (std::size_t i = 0; i < numeric.size(); ++i) {
        ai += "  " + numeric[i] + ": 0418" + std::to_string(10000 + i) + ",signal\n";
        alarm += "  " + numeric[i] + "_" + std::to_string(i) + ": key" + std::to_string(i) + ",upper\n";
        device.threshold_level_map_["key" + std::to_string(i)] = 1;
        device.threshold_value_map_["key" + std::to_string(i)] = 10;
    }
    dir.write("ini/4.yaml", ai + alarm);

    Json::Value settings;
    settings["appSetting"]["b_mode"] = 1;
    device.InitSetting(settings);
    EXPECT_EQ(poll(), 41);
    EXPECT_EQ(host.of("check_threshold").size(), numeric.size());

    settings["appSetting"]["b_mode"] = 3;
    device.InitSetting(settings);
    EXPECT_EQ(poll(), 41);
    EXPECT_EQ(host.of("check_threshold_bool").size(), numeric.size());
}

}  // namespace
