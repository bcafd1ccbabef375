#include "support/cache_cycle.h"
#include "support/fixtures.h"
#include "support/manual_clock.h"
#include "support/recording_host.h"

#include <device/xk83t.h>

#include <json/writer.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <set>
#include <string>

using namespace xk83t_test;

namespace {

class DisplayDocument : public ::testing::Test {
protected:
    ManualClock clock{"2024-03-05 07:04:08"};  // the first cycle completes at 07:04:09
    RecordingHost host;
    XK83T device;
    XK83T_Data_t record{};

    const Json::Value& cycle()
    {
        complete_cycle(device, clock, record);
        return device.json_;
    }
};

std::string compact(const Json::Value& value)
{
    return Json::FastWriter().write(value);
}

// Every name the document must carry, spelled out from the naming rules.
std::set<std::string> expected_member_names()
{
    std::set<std::string> names = {
        "系统硬件编码", "系统软件版本号", "系统序列号1", "系统序列号2", "系统总告警状态",
        "A路进线开关告警状态", "A路进线防雷器告警状态", "B路进线开关告警状态", "B路进线防雷器告警状态",
        "环境温度", "环境湿度", "更新时间", "AlertArray"};
    for (const char* side : {"A", "B"}) {
        for (const char* q : {"电压", "电流", "有功功率", "有功电能", "正极绝缘电阻", "负极绝缘电阻", "电流负载比"})
            names.insert(std::string(side) + "路进线-" + q);
        for (int n = 1; n <= 48; ++n) {
            char label[8];
            std::snprintf(label, sizeof label, "%s%02d", side, n);
            for (const char* q : {"电压", "电流", "绝缘电阻", "有功功率", "有功电能", "电流负载比"})
                names.insert(label + std::string(q));
            names.insert(side + std::to_string(n) + "开关告警状态");
        }
    }
    return names;
}

TEST_F(DisplayDocument, AFreshDeviceHasNoDocumentUntilACycleCompletes)
{
    device.GenJsonData();
    EXPECT_TRUE(device.json_.isNull());
}

TEST_F(DisplayDocument, OneBuildWritesEveryMemberUnderItsName)
{
    const Json::Value& doc = cycle();
    ASSERT_TRUE(doc.isObject());
    EXPECT_EQ(doc.size(), 699u);
    const std::vector<std::string> names = doc.getMemberNames();
    EXPECT_EQ(std::set<std::string>(names.begin(), names.end()), expected_member_names());
    // Feeders are numbered with two digits, switches without leading zeros.
    EXPECT_TRUE(doc.isMember("A01电压"));
    EXPECT_TRUE(doc.isMember("A1开关告警状态"));
    EXPECT_FALSE(doc.isMember("A1电压"));
    EXPECT_FALSE(doc.isMember("A01开关告警状态"));
}

// Two-register value of registers reg and reg + 1 of an image, as shown.
double pair_shown(const RegisterImage& image, int reg, bool is_signed, double divisor)
{
    const std::uint32_t raw = (std::uint32_t{image.get(reg)} << 16) | image.get(reg + 1);
    const double value = is_signed ? static_cast<double>(static_cast<std::int32_t>(raw)) : raw;
    return value / divisor;
}

TEST_F(DisplayDocument, EachMemberShowsTheRegistersOfItsFeederLineOrField)
{
    const RegisterImage image = patterned_image();
    RegisterImage transport = image;
    host.poll(device, transport);
    const Json::Value& doc = device.json_;

    struct Case {
        const char* name;
        int reg;  // first register
        bool is_signed;
        double divisor;
    };
    // Group k starts at register 32 + 36k; quantity q of element j at +6q + 2j.
    const Case cases[] = {
        {"A路进线-电压", 4, false, 100},
        {"A路进线-有功功率", 8, true, 1000},
        {"A路进线-有功电能", 10, false, 10},
        {"B路进线-正极绝缘电阻", 26, false, 100},
        {"B路进线-电流负载比", 30, false, 100},
        {"A01电压", 32, false, 100},
        {"A12电流负载比", 32 + 36 * 3 + 30 + 4, false, 100},
        {"B01绝缘电阻", 32 + 36 * 4 + 12, true, 100},
        {"A13有功功率", 32 + 36 * 8 + 18, true, 1000},
        {"A48电流", 32 + 36 * 27 + 6 + 4, false, 100},
        {"B46有功电能", 32 + 36 * 31 + 24, false, 10},
        {"B48有功电能", 32 + 36 * 31 + 24 + 4, false, 10},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(doc.isMember(c.name)) << c.name;
        EXPECT_EQ(doc[c.name].type(), Json::realValue) << c.name;
        EXPECT_EQ(doc[c.name].asDouble(), pair_shown(image, c.reg, c.is_signed, c.divisor)) << c.name;
    }
    EXPECT_EQ(doc["系统硬件编码"].asDouble(), static_cast<double>(static_cast<float>(image.get(0))));
    EXPECT_EQ(doc["系统序列号2"].asDouble(), static_cast<double>(static_cast<float>(image.get(3))));
    EXPECT_EQ(doc["环境湿度"].asDouble(), static_cast<double>(static_cast<float>(image.get(4198)) / 10.0f));
}

TEST_F(DisplayDocument, ValuesAreScaledAsTheDeviceScalesThem)
{
    record.temperature = 253;
    record.humidity = 600;
    record.hw_code = 65535;
    record.inline_a.voltage = {0, 22050};
    record.inline_a.active_power = {0xFFFF, 0xFC18};
    record.inline_a.pos_insulation_res = {0xFFFF, 0xFC18};  // unsigned here
    record.inline_b.active_energy = {0, 12345};
    record.feeder[0].voltage[0] = {0x0001, 0x86A0};
    record.feeder[0].insulation_res[1] = {0xFFFF, 0xFC18};  // signed in feeders
    record.feeder[0].active_power[2] = {0xFFFF, 0xFC18};
    const Json::Value& doc = cycle();

    const std::pair<const char*, const char*> shown[] = {
        {"环境温度", "25.299999237060547"},  // the single-precision quotient
        {"环境湿度", "60.0"},
        {"系统硬件编码", "65535.0"},
        {"A路进线-电压", "220.5"},
        {"A路进线-有功功率", "-1.0"},
        {"B路进线-有功电能", "1234.5"},
        {"A01电压", "1000.0"},
        {"A02绝缘电阻", "-10.0"},
        {"A03有功功率", "-1.0"},
        {"B48电流", "0.0"},
    };
    for (const auto& [name, text] : shown) {
        EXPECT_EQ(doc[name].type(), Json::realValue) << name;
        EXPECT_EQ(compact(doc[name]), std::string(text) + "\n") << name;
    }
    EXPECT_EQ(doc["A路进线-正极绝缘电阻"].asDouble(), 4294966296.0 / 100.0);
}

TEST_F(DisplayDocument, StatusCodesShowAsTexts)
{
    const std::pair<std::uint16_t, const char*> codes[] = {
        {0, "正常"}, {1, "告警"}, {2, "未启用"}, {3, "无效值"}, {65535, "无效值"}};
    for (std::size_t i = 0; i < std::size(codes); ++i)
        record.a_switch_alarm_1_24[i] = codes[i].first;
    record.inline_b_spd_alarm = 3;
    const Json::Value& doc = cycle();
    for (std::size_t i = 0; i < std::size(codes); ++i) {
        const std::string name = "A" + std::to_string(i + 1) + "开关告警状态";
        EXPECT_EQ(doc[name], Json::Value(codes[i].second)) << name;
    }
    EXPECT_EQ(doc["B路进线防雷器告警状态"], Json::Value("无效值"));
    EXPECT_EQ(doc["A路进线开关告警状态"], Json::Value("正常"));
}

TEST_F(DisplayDocument, SwitchNumbersFollowTheFourStateArrays)
{
    record.a_switch_alarm_1_24[23] = 1;   // A24
    record.b_switch_alarm_1_24[0] = 2;    // B1
    record.a_switch_alarm_25_48[0] = 1;   // A25
    record.b_switch_alarm_25_48[23] = 2;  // B48
    const Json::Value& doc = cycle();
    EXPECT_EQ(doc["A24开关告警状态"], Json::Value("告警"));
    EXPECT_EQ(doc["B1开关告警状态"], Json::Value("未启用"));
    EXPECT_EQ(doc["A25开关告警状态"], Json::Value("告警"));
    EXPECT_EQ(doc["B48开关告警状态"], Json::Value("未启用"));
    for (const char* quiet : {"A23开关告警状态", "A1开关告警状态", "B24开关告警状态", "B25开关告警状态", "A48开关告警状态"})
        EXPECT_EQ(doc[quiet], Json::Value("正常")) << quiet;
}

TEST_F(DisplayDocument, SystemAlarmIsOnlyAnAlarmAtOne)
{
    const struct {
        std::uint16_t reg;
        const char* text;
        bool alert;
    } cases[] = {{0, "正常", false}, {1, "告警", true}, {2, "正常", false}, {65535, "正常", false}};
    for (const auto& c : cases) {
        record.sys_alarm = c.reg;
        const Json::Value& doc = cycle();
        EXPECT_EQ(doc["系统总告警状态"], Json::Value(c.text)) << c.reg;
        EXPECT_EQ(doc["AlertArray"]["系统总告警状态"].type(), Json::booleanValue) << c.reg;
        EXPECT_EQ(doc["AlertArray"]["系统总告警状态"].asBool(), c.alert) << c.reg;
    }
}

TEST_F(DisplayDocument, IncomingLineAlertsStayOnceSeen)
{
    record.inline_a_switch_alarm = 1;
    record.inline_b_spd_alarm = 2;
    cycle();
    const Json::Value& doc = device.json_;
    EXPECT_EQ(doc["A路进线开关告警状态"], Json::Value("告警"));
    EXPECT_EQ(doc["AlertArray"].getMemberNames(),
              (std::vector<std::string>{"A路进线开关告警状态", "系统总告警状态"}));

    record.inline_a_switch_alarm = 0;
    record.inline_b_switch_alarm = 1;
    cycle();
    EXPECT_EQ(doc["A路进线开关告警状态"], Json::Value("正常"));
    const Json::Value& alerts = doc["AlertArray"];
    ASSERT_TRUE(alerts.isObject());
    EXPECT_EQ(alerts.size(), 3u);
    for (const char* name : {"A路进线开关告警状态", "B路进线开关告警状态"}) {
        EXPECT_EQ(alerts[name].type(), Json::intValue) << name;
        EXPECT_EQ(alerts[name].asInt(), 1) << name;
    }
    EXPECT_FALSE(alerts.isMember("B路进线防雷器告警状态"));
    EXPECT_EQ(doc.size(), 699u);
}

TEST_F(DisplayDocument, UpdateTimeHasNoLeadingZeros)
{
    EXPECT_EQ(cycle()["更新时间"], Json::Value("2024-3-5 7:4:9"));
    clock.set("2024-11-25 09:59:59");
    EXPECT_EQ(cycle()["更新时间"], Json::Value("2024-11-25 10:0:0"));
}

TEST_F(DisplayDocument, DocumentIsRebuiltOnlyForANewCycleTime)
{
    record.temperature = 100;
    cycle();
    device.data_.temperature = 200;
    device.GenJsonData();
    EXPECT_EQ(device.json_["环境温度"].asDouble(), 10.0);

    // A cycle completed within the same second is not a newer one.
    record.temperature = 300;
    device.LoadFromCache(reinterpret_cast<const unsigned char*>(&record), sizeof record);
    EXPECT_EQ(device.json_["环境温度"].asDouble(), 10.0);

    cycle();
    EXPECT_EQ(device.json_["环境温度"].asDouble(), 30.0);
}

TEST_F(DisplayDocument, OutsideAlarmModesWithRulesTheDocumentWaitsForARequest)
{
    device.b_mode_ = 0;
    record.temperature = 100;
    cycle();
    EXPECT_TRUE(device.json_.isNull());
    device.data_.temperature = 200;  // as a cycle in progress would leave it
    device.GenJsonData();
    EXPECT_EQ(device.json_["环境温度"].asDouble(), 20.0);
}

TEST_F(DisplayDocument, MembersAddedByLookupsStay)
{
    device.json_["规则里的信号"];  // a lookup before the first build
    cycle();
    EXPECT_EQ(device.json_.size(), 700u);
    device.json_["另一个信号"];
    record.temperature = 77;
    cycle();
    EXPECT_EQ(device.json_.size(), 701u);
    EXPECT_TRUE(device.json_["规则里的信号"].isNull());
    EXPECT_TRUE(device.json_["另一个信号"].isNull());
    EXPECT_EQ(device.json_["环境温度"].asDouble(), static_cast<double>(7.7f));
}

TEST_F(DisplayDocument, ARebuildGivesTheDocumentAFirstBuildWouldGive)
{
    record = patterned_record(1);
    record.inline_a_switch_alarm = 1;
    cycle();
    record = patterned_record(2);
    record.inline_a_switch_alarm = 0;
    record.inline_b_spd_alarm = 1;
    cycle();

    // The second record, built once at the same time on a fresh device.
    clock.set("2024-03-05 07:04:09");
    XK83T once;
    complete_cycle(once, clock, record);
    once.json_["AlertArray"]["A路进线开关告警状态"] = 1;  // seen in the device's first cycle

    EXPECT_EQ(device.json_, once.json_);
    EXPECT_EQ(compact(device.json_), compact(once.json_));
}

TEST_F(DisplayDocument, ADocumentReplacedFromOutsideIsRebuiltInFull)
{
    record.temperature = 100;
    cycle();
    device.json_ = Json::Value(device.json_);  // same members, new storage
    record.temperature = 200;
    cycle();
    EXPECT_EQ(device.json_["环境温度"].asDouble(), 20.0);

    device.json_ = Json::Value();
    cycle();
    EXPECT_EQ(device.json_.size(), 699u);
}

TEST_F(DisplayDocument, MembersAddedByLookupsAnywhereLeaveEveryValueInItsPlace)
{
    record = patterned_record(4);
    cycle();
    // Names that sort before, between and after the document's own members.
    for (const char* name : {"0", "A01电压_", "A1开关告警状态0", "AlertArrayX", "环境温度0", "\xff"})
        device.json_[name];
    record = patterned_record(5);
    cycle();
    device.json_["B01电流负载比X"];
    record = patterned_record(6);
    cycle();
    record = patterned_record(7);  // a build with no member added since the last
    cycle();

    clock.set("2024-03-05 07:04:11");  // the same cycle time
    XK83T once;
    complete_cycle(once, clock, record);
    EXPECT_EQ(device.json_.size(), 699u + 7u);
    for (const std::string& name : once.json_.getMemberNames()) {
        if (name == "AlertArray")  // keeps alarms of earlier cycles
            continue;
        EXPECT_EQ(device.json_[name], once.json_[name]) << name;
    }
    EXPECT_TRUE(device.json_["A01电压_"].isNull());
    EXPECT_TRUE(device.json_["\xff"].isNull());
}

TEST_F(DisplayDocument, UpdateTimeFollowsEveryCycleWhateverItsLength)
{
    const char* const times[][2] = {
        {"2024-03-05 07:04:08", "2024-3-5 7:4:9"},      {"2024-03-05 07:04:09", "2024-3-5 7:4:10"},
        {"2024-03-05 07:09:59", "2024-3-5 7:10:0"},     {"2024-03-05 09:59:59", "2024-3-5 10:0:0"},
        {"2024-03-05 10:00:00", "2024-3-5 10:0:1"},     {"2024-03-05 11:11:10", "2024-3-5 11:11:11"},
        {"2024-12-31 23:59:58", "2024-12-31 23:59:59"}, {"2024-12-31 23:59:59", "2025-1-1 0:0:0"},
        {"2025-01-01 00:00:00", "2025-1-1 0:0:1"},      {"2025-01-01 00:00:09", "2025-1-1 0:0:10"},
    };
    for (const auto& [before, shown] : times) {
        clock.set(before);
        EXPECT_EQ(cycle()["更新时间"], Json::Value(shown)) << before;
    }
}

// A host may keep a copy of the document; it must stay what it was when
// copied, through later builds and after the device is gone.
TEST_F(DisplayDocument, ACopyOfTheDocumentOutlivesLaterBuildsAndTheDevice)
{
    auto owner = std::make_unique<XK83T>();
    record = patterned_record(7);
    record.inline_a_spd_alarm = 1;
    complete_cycle(*owner, clock, record);
    const Json::Value copy = owner->json_;
    const std::string text = compact(copy);

    for (unsigned salt : {8u, 9u, 10u}) {
        record = patterned_record(salt);
        complete_cycle(*owner, clock, record);
    }
    EXPECT_NE(compact(owner->json_), text);
    owner.reset();
    EXPECT_EQ(compact(copy), text);
    EXPECT_EQ(copy.size(), 699u);
    EXPECT_EQ(copy["AlertArray"]["A路进线防雷器告警状态"], Json::Value(1));
}

TEST_F(DisplayDocument, GroupBuildersWriteWhatTheDocumentShows)
{
    record = patterned_record(3);
    const Json::Value& doc = cycle();
    auto* bytes = reinterpret_cast<char*>(&device.data_);

    XK83T other;
    other._xk83t_Inline(bytes + offsetof(XK83T_Data_t, inline_b), "", 0, "B");
    other._xk83t_Feeder(bytes + offsetof(XK83T_Data_t, feeder[4]), "", 0, "B01", "B02", "B03");
    other._xk83t_ASwitchStatus(bytes + offsetof(XK83T_Data_t, a_switch_alarm_25_48[0]), "", 25, "25");
    other._xk83t_BSwitchStatus(bytes + offsetof(XK83T_Data_t, b_switch_alarm_1_24[23]), "", 24, "24");
    ASSERT_EQ(other.json_.size(), 7u + 18u + 2u);
    for (const std::string& name : other.json_.getMemberNames()) {
        ASSERT_TRUE(doc.isMember(name)) << name;
        EXPECT_EQ(other.json_[name], doc[name]) << name;
    }

    XK83T prefixed;
    prefixed._xk83t_Feeder(bytes + offsetof(XK83T_Data_t, feeder[0]), "柜1-", 0, "X1", "X2", "X3");
    prefixed._xk83t_BSwitchStatus(bytes + offsetof(XK83T_Data_t, b_switch_alarm_25_48[0]), "柜1-", 25, "25");
    EXPECT_EQ(prefixed.json_.size(), 19u);
    EXPECT_EQ(prefixed.json_["柜1-X3电流负载比"], doc["A03电流负载比"]);
    EXPECT_EQ(prefixed.json_["柜1-B25开关告警状态"], doc["B25开关告警状态"]);
}

}  // namespace
