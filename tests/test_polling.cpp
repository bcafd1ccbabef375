#include "support/fixtures.h"
#include "support/manual_clock.h"
#include "support/recording_host.h"

#include <device/xk83t.h>

#include <gtest/gtest.h>

#include <cstring>

using namespace xk83t_test;

namespace {

class Polling : public ::testing::Test {
protected:
    ManualClock clock{"2024-03-05 07:04:09"};
    RecordingHost host;
    XK83T device;
};

TEST_F(Polling, OneCycleReadsThePlanAndPublishesTheRecord)
{
    device.data_id_ = 9;
    device.InitSetting(Json::Value());
    host.clear();
    RegisterImage image = patterned_image();

    EXPECT_EQ(host.poll(device, image), 41);

    std::vector<std::string> expected_whats(41, "read");
    for (const char* w : {"send_sp", "reset", "out", "batch_check", "save_history"})
        expected_whats.push_back(w);
    ASSERT_EQ(host.whats(), expected_whats);

    const auto reads = host.of("read");
    for (std::size_t i = 0; i < reads.size(); ++i) {
        EXPECT_EQ(reads[i].ints[0], xk83t::kRegisterPlan[i].start) << i;
        EXPECT_EQ(reads[i].ints[1], xk83t::kRegisterPlan[i].count) << i;
    }

    std::vector<unsigned char> expected = expected_record(image, 9);
    const unsigned char stamp[7] = {0xE8, 0x07, 3, 5, 7, 4, 9};
    std::memcpy(expected.data() + 2578, stamp, 7);

    const HostCall sent = host.of("send_sp").at(0);
    EXPECT_EQ(sent.ints, (std::vector<long long>{5156, 2585, 0}));
    EXPECT_EQ(sent.bytes, expected);
    EXPECT_EQ(host.console(), std::vector<std::string>{"rvSize is 0"});
    EXPECT_EQ(host.of("batch_check").at(0).ints[0], 0);
    const HostCall saved = host.of("save_history").at(0);
    EXPECT_EQ(saved.ints[0], 2585);
    EXPECT_EQ(saved.bytes, expected);
    EXPECT_EQ(device.state_, 51);
}

TEST_F(Polling, RepliesAreCopiedInNativeOrderWithoutSwapping)
{
    device.RefreshStatus();
    const unsigned short ignored[36] = {};
    for (int state = 11; state < 14; ++state)
        deliver_reply(device, ignored, 36);
    ASSERT_EQ(device.state_, 14);  // the reply to (32, 36) is next
    unsigned short feeder[36] = {0x0001, 0x86A0};
    deliver_reply(device, feeder, 36);
    const auto* record = reinterpret_cast<const unsigned char*>(&device.data_);
    EXPECT_EQ(std::vector<unsigned char>(record + 68, record + 72),
              (std::vector<unsigned char>{0x01, 0x00, 0xA0, 0x86}));
}

TEST_F(Polling, AFailedExchangeStopsTheCycleUntilTheNextRefresh)
{
    RegisterImage old_image = patterned_image(0);
    host.poll(device, old_image);
    host.clear();

    RegisterImage new_image = patterned_image(7);
    new_image.fail_at = xk83t::kRegisterPlan[30 - 11].start;  // the read of state 30
    host.poll(device, new_image);

    EXPECT_TRUE(host.of("send_sp").empty());
    EXPECT_TRUE(host.of("save_history").empty());
    EXPECT_EQ(host.console(), std::vector<std::string>{"SPModbus get error"});
    EXPECT_EQ(device.state_, 30);
    EXPECT_FALSE(host.read_outstanding());

    // Blocks up to state 29 are new, from state 30 on they are the old ones.
    const auto* record = reinterpret_cast<const unsigned char*>(&device.data_);
    const auto old_record = expected_record(old_image, 0);
    const auto new_record = expected_record(new_image, 0);
    const std::size_t split = xk83t::record_offset(xk83t::kRegisterPlan[19].start);
    EXPECT_EQ(0, std::memcmp(record + 4, new_record.data() + 4, split - 4));
    EXPECT_EQ(0, std::memcmp(record + split, old_record.data() + split, 2578 - split));

    host.clear();
    device.RefreshStatus();
    ASSERT_EQ(host.of("read").size(), 1u);
    EXPECT_EQ(host.of("read")[0].ints, (std::vector<long long>{0, 4}));
}

TEST_F(Polling, RepliesInStatesWithoutABlockChangeNothing)
{
    for (int state : {0, 10, 52, 310, 320}) {
        device.state_ = state;
        const unsigned short words[2] = {1, 2};
        EXPECT_EQ(deliver_reply(device, words, 2), 1) << state;
        EXPECT_EQ(device.state_, state);
    }
    EXPECT_TRUE(host.calls.empty());
    EXPECT_EQ(device.write_result_, -1);
}

TEST_F(Polling, ASecondReplyInTheLastStateCompletesTheCycleAgain)
{
    RegisterImage image = patterned_image();
    host.poll(device, image);
    const unsigned short climate[2] = {250, 600};
    EXPECT_EQ(deliver_reply(device, climate, 2), 0);
    EXPECT_EQ(host.of("send_sp").size(), 2u);
    EXPECT_EQ(device.data_.temperature, 250);
}

TEST_F(Polling, WriteRepliesAreJudged)
{
    struct Case {
        int state;
        int expect;
        unsigned short w0, w1;
        int result;
    };
    const Case cases[] = {
        {206, 0x1234, 0x1234, 0, 1}, {206, 0x1234, 0x1235, 0, 3},
        {210, 3, 16, 3, 1},          {210, 3, 16, 2, 3},          {210, 3, 6, 3, 3},
    };
    for (const Case& c : cases) {
        host.clear();
        device.state_ = c.state;
        device.write_expect_ = c.expect;
        device.write_result_ = -1;
        const unsigned short words[2] = {c.w0, c.w1};
        EXPECT_EQ(deliver_reply(device, words, 2), 0);
        EXPECT_EQ(device.write_result_, c.result) << c.state << " " << c.w0 << " " << c.w1;
        EXPECT_EQ(device.state_, c.state);
        EXPECT_EQ(host.whats(), std::vector<std::string>{"reset"});
    }
}

TEST_F(Polling, RefreshReplacesAPendingWriteCheck)
{
    device.state_ = 206;
    device.write_expect_ = 5;
    device.RefreshStatus();
    const unsigned short words[4] = {5, 0, 0, 0};
    deliver_reply(device, words, 4);
    EXPECT_EQ(device.write_result_, -1);
    EXPECT_EQ(device.state_, 12);
}

}  // namespace
