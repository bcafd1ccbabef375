#include "support/manual_clock.h"
#include "support/recording_host.h"

#include <device/xk83t.h>
#include <plugin/get_providers.h>
#include <plugin/xk83t_provider.h>

#include <gtest/gtest.h>

using namespace xk83t_test;

namespace {

std::string value_message(const XK83T& device)
{
    try {
        device.Get_Value(0, "");
    } catch (const std::out_of_range& e) {
        return e.what();
    }
    return "returned";
}

TEST(Device, ConstructorDefaults)
{
    XK83T device;
    EXPECT_EQ(device.DeviceType(), "xk83t");
    EXPECT_EQ(device.baud_rate_, 9600);
    EXPECT_EQ(device.master_option_, 1);
    EXPECT_EQ(device.write_result_, -1);
    EXPECT_EQ(device.write_expect_, -1);
    EXPECT_EQ(device.b_mode_, 1);
    EXPECT_TRUE(device.json_.isNull());
    EXPECT_FALSE(device.GetChildVDevice(0));
    EXPECT_FALSE(device.GetChildVDevice(1000));
    EXPECT_TRUE(device.GetAllChildVDevices().empty());
}

TEST(Device, ValueQueryExplainsWhyThereIsNoValue)
{
    ManualClock clock{"2024-03-05 07:04:09"};
    RecordingHost host;
    XK83T device;
    EXPECT_EQ(value_message(device), "数据未就绪");

    device.RoundDone();
    const std::pair<long, const char*> ages[] = {
        {0, "不支持变量"}, {60, "不支持变量"}, {61, "数据已超时"}, {3600, "数据已超时"}};
    for (const auto& [age, message] : ages) {
        clock.set("2024-03-05 07:04:09");
        clock.advance(age);
        EXPECT_EQ(value_message(device), message) << age;
    }
    clock.set("2024-03-05 07:00:00");  // set back before the last cycle
    EXPECT_EQ(value_message(device), "不支持变量");
}

TEST(Device, SettingsCopyTheDataIdIntoTheRecordAndReturnTheMastersResult)
{
    RecordingHost host;
    host.init_setting_result = 42;
    XK83T device;
    device.data_id_ = 7;
    EXPECT_EQ(device.InitSetting(Json::Value(Json::objectValue)), 42);
    const auto* record = reinterpret_cast<const unsigned char*>(&device.data_);
    EXPECT_EQ(std::vector<unsigned char>(record, record + 4), (std::vector<unsigned char>{7, 0, 0, 0}));
    EXPECT_EQ(host.of("modbus_init_setting").size(), 1u);
}

TEST(Device, UnhandledErrorsOnlyPrint)
{
    RecordingHost host;
    XK83T device;
    device.RefreshStatus();
    host.clear();
    EXPECT_EQ(deliver_error(device), 0);
    EXPECT_EQ(host.whats(), std::vector<std::string>{"out"});
    EXPECT_EQ(host.console(), std::vector<std::string>{"SPModbus get error"});
}

TEST(Provider, EachCallGivesAFreshProvider)
{
    auto first = get_providers();
    auto second = get_providers();
    ASSERT_EQ(first.size(), 1u);
    ASSERT_EQ(second.size(), 1u);
    EXPECT_NE(first[0].get(), second[0].get());
    EXPECT_EQ(first[0].use_count(), 1);
}

TEST(Provider, CreatesIndependentDevices)
{
    RecordingHost host;
    auto providers = get_providers();
    auto* provider = dynamic_cast<SMDSPDeviceProvider*>(providers[0].get());
    ASSERT_NE(provider, nullptr);
    SMDVDevice* a = provider->create();
    SMDVDevice* b = provider->create();
    ASSERT_NE(a, b);
    EXPECT_EQ(a->DeviceType(), "xk83t");
    a->data_id_ = 1;
    b->data_id_ = 2;
    delete a;
    providers.clear();  // devices outlive their provider
    EXPECT_EQ(b->DataId(), 2u);
    EXPECT_EQ(b->LoadFromCache(std::string(2585, '\0')), 1);
    delete b;
}

}  // namespace
