#include "support/manual_clock.h"
#include "support/recording_host.h"

#include <device/uni_data_device.h>
#include <device/xk83t.h>

#include <gtest/gtest.h>

#include <numeric>

using namespace xk83t_test;

namespace {

// A device over a small record, to watch the template's cycle end alone.
struct __attribute__((packed)) SmallRecord {
    std::uint32_t data_id;
    unsigned char body[9];
    XK83T_Stamp_t update_time;
};

class CountingDevice : public UniDataDevice<SmallRecord, SPModbus, 77> {
public:
    int process_payload(SPModbus::tab_type, unsigned int) override { return 1; }
    void RunCheckThreshold() override
    {
        seq_at_check.push_back(check_seq_);
        rule_values_.resize(queued);
    }
    void GenJsonData() override { ++builds; }

    std::vector<unsigned short> seq_at_check;
    std::size_t queued = 0;
    int builds = 0;
};

class UniDataDeviceTest : public ::testing::Test {
protected:
    ManualClock clock{"2024-03-05 07:04:09"};
    RecordingHost host;
};

std::string cache_bytes(std::size_t length)
{
    std::string bytes(length, '\0');
    std::iota(bytes.begin(), bytes.end(), '\x01');
    return bytes;
}

TEST_F(UniDataDeviceTest, CacheOfTheWrongLengthIsRefusedSilently)
{
    XK83T device;
    for (std::size_t length : {0u, 2584u, 2586u}) {
        EXPECT_EQ(device.LoadFromCache(cache_bytes(length)), 0) << length;
    }
    EXPECT_EQ(device.LoadFromCache(nullptr, 2585), 0);
    EXPECT_TRUE(host.calls.empty());
    EXPECT_FALSE(device.data_ready_);
    const XK83T_Data_t zero{};
    EXPECT_EQ(0, std::memcmp(&device.data_, &zero, sizeof zero));
}

TEST_F(UniDataDeviceTest, CacheOfTheRecordSizeCompletesACycle)
{
    XK83T device;
    const std::string bytes = cache_bytes(2585);
    EXPECT_EQ(device.LoadFromCache(bytes), 1);
    EXPECT_TRUE(device.data_ready_);
    ASSERT_EQ(host.of("send_sp").size(), 1u);
    ASSERT_EQ(host.of("save_history").size(), 1u);
    const HostCall sent = host.of("send_sp")[0];
    EXPECT_EQ(sent.ints, (std::vector<long long>{5156, 2585, 0}));
    std::vector<unsigned char> expected(bytes.begin(), bytes.end());
    const unsigned char stamp[7] = {0xE8, 0x07, 3, 5, 7, 4, 9};
    std::copy(stamp, stamp + 7, expected.begin() + 2578);
    EXPECT_EQ(sent.bytes, expected);
    EXPECT_EQ(host.of("save_history")[0].bytes, expected);
}

TEST_F(UniDataDeviceTest, CycleEndRunsItsStepsInOrder)
{
    CountingDevice device;
    device.queued = 3;
    device.alarm_flag_ = 0x80;
    host.batch_result = false;
    device.RoundDone();
    EXPECT_EQ(host.whats(),
              (std::vector<std::string>{"send_sp", "reset", "out", "batch_check", "save_history"}));
    EXPECT_EQ(host.console(), std::vector<std::string>{"rvSize is 3"});
    EXPECT_EQ(host.of("batch_check")[0].ints[0], 3);
    EXPECT_EQ(host.of("send_sp")[0].ints, (std::vector<long long>{77, 20, 0}));
    EXPECT_TRUE(device.rule_values_.empty());
    EXPECT_EQ(device.alarm_flag_, 0);
    EXPECT_EQ(device.seq_at_check, std::vector<unsigned short>{1});
    EXPECT_EQ(device.last_update_, boost::posix_time::time_from_string("2024-03-05 07:04:09"));

    host.batch_result = true;
    device.RoundDone();
    EXPECT_EQ(device.alarm_flag_, 1);
}

TEST_F(UniDataDeviceTest, DocumentIsBuiltOnlyInModesWithRules)
{
    const std::pair<int, int> modes[] = {{0, 0}, {1, 1}, {2, 0}, {3, 1}, {4, 0}, {5, 1}, {-1, 0}};
    for (const auto& [mode, builds] : modes) {
        CountingDevice device;
        device.b_mode_ = mode;
        device.RoundDone();
        EXPECT_EQ(device.builds, builds) << mode;
    }
}

}  // namespace
