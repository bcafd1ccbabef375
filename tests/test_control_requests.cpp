#include "support/cache_cycle.h"
#include "support/manual_clock.h"
#include "support/recording_host.h"

#include <device/xk83t.h>

#include <json/writer.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

using namespace xk83t_test;

namespace {

class ControlRequests : public ::testing::Test {
protected:
    ManualClock clock{"2024-03-05 07:04:08"};
    RecordingHost host;
    XK83T device;

    int request(int code, const std::vector<unsigned char>& in, void* out = nullptr, int out_cap = 0)
    {
        return device.DeviceIoControl(code, in.data(), static_cast<int>(in.size()), out, out_cap, out_len);
    }
    int request_text(int code, const std::string& body)
    {
        return device.DeviceIoControl(code, body.data(), static_cast<int>(body.size()), out, sizeof out, out_len);
    }
    // The 4-byte answer to a code the device does not handle itself.
    int write_outcome()
    {
        int answer = 0;
        int length = 0;
        device.DeviceIoControl(999, nullptr, 0, &answer, sizeof answer, length);
        return answer;
    }

    unsigned char out[64] = {};
    int out_len = -7;
};

std::string line_of(int code)
{
    return "XK83T::DeviceIoControl " + std::to_string(code);
}

TEST_F(ControlRequests, SingleRegisterWriteSendsTheValueAndExpectsItsEcho)
{
    device.write_result_ = 3;
    EXPECT_EQ(request(206, {0x10, 0x00, 0x2C, 0x01}), 0);
    EXPECT_EQ(host.whats(), (std::vector<std::string>{"out", "open_port", "write"}));
    EXPECT_EQ(host.console(), std::vector<std::string>{line_of(206)});
    EXPECT_EQ(host.of("write")[0].ints, (std::vector<long long>{16, 300}));
    EXPECT_EQ(device.state_, 206);
    EXPECT_EQ(device.write_expect_, 300);
    EXPECT_EQ(device.write_result_, -1);
    EXPECT_EQ(out_len, -7);  // no output

    EXPECT_EQ(write_outcome(), -1);  // still pending
    const unsigned short echo[] = {300, 16};
    EXPECT_EQ(deliver_reply(device, echo, 2), 0);
    EXPECT_EQ(write_outcome(), 1);

    request(206, {0x10, 0x00, 0x2C, 0x01});
    const unsigned short wrong[] = {301};
    deliver_reply(device, wrong, 1);
    EXPECT_EQ(write_outcome(), 3);
}

TEST_F(ControlRequests, MultipleRegisterWriteTakesWholeWordsAfterTheAddress)
{
    EXPECT_EQ(request(210, {0x20, 0x00, 1, 0, 2, 0, 3, 0, 0x34, 0x12}), 0);
    EXPECT_EQ(host.whats(), (std::vector<std::string>{"out", "open_port", "write_multi"}));
    EXPECT_EQ(host.of("write_multi")[0].ints, (std::vector<long long>{32, 1, 2, 3, 0x1234}));
    EXPECT_EQ(device.state_, 210);
    EXPECT_EQ(device.write_expect_, 4);

    host.clear();
    EXPECT_EQ(request(210, {0x20, 0x00, 1, 0, 2, 0, 3, 0, 0xFF}), 0);  // the odd byte is not used
    EXPECT_EQ(host.of("write_multi")[0].ints, (std::vector<long long>{32, 1, 2, 3}));
    EXPECT_EQ(device.write_expect_, 3);
    const unsigned short echo[] = {16, 3};
    deliver_reply(device, echo, 2);
    EXPECT_EQ(write_outcome(), 1);
}

TEST_F(ControlRequests, AWriteWithoutAValueIsRefusedAndChangesNothing)
{
    const unsigned char bytes[10] = {0x10, 0x00, 0x2C, 0x01, 1, 0, 2, 0, 3, 0};
    const struct {
        int code;
        const void* in;
        int in_len;
    } cases[] = {
        {206, bytes, 3}, {206, bytes, 0}, {206, nullptr, 4}, {206, bytes, -4},
        {210, bytes, 3}, {210, bytes, 2}, {210, nullptr, 10}, {210, bytes, -10},
        {310, nullptr, 5}, {310, bytes, -1}, {320, nullptr, 5},
    };
    for (const auto& c : cases) {
        device.b_mode_ = 1;
        device.state_ = 51;
        device.write_result_ = 3;
        device.write_expect_ = 77;
        host.clear();
        EXPECT_EQ(device.DeviceIoControl(c.code, c.in, c.in_len, out, sizeof out, out_len), -1)
            << c.code << " " << c.in_len;
        EXPECT_EQ(host.console(), std::vector<std::string>{line_of(c.code)});
        EXPECT_EQ(host.calls.size(), 1u) << c.code << " " << c.in_len;
        EXPECT_EQ(device.state_, 51);
        EXPECT_EQ(device.write_result_, 3);
        EXPECT_EQ(device.write_expect_, 77);
    }
}

TEST_F(ControlRequests, HostRequestsReachTheHostOnlyWithAJsonBody)
{
    host.io_control_result = 7;
    device.write_result_ = 1;
    const std::string body = R"({"signal_id":"0418101001"})";
    EXPECT_EQ(request_text(310, body), 7);
    EXPECT_EQ(host.whats(), (std::vector<std::string>{"out", "open_port", "host_io_control"}));
    EXPECT_EQ(host.of("host_io_control")[0].ints,
              (std::vector<long long>{310, static_cast<long long>(body.size()), sizeof out}));
    EXPECT_EQ(device.state_, 310);
    EXPECT_EQ(device.write_result_, -1);

    const std::string refused[] = {
        R"({"signal_id":"04181)",   // cut off inside a string
        "",                         // nothing at all
        std::string(5000, '['),     // nested deeper than the reader goes
    };
    for (const std::string& text : refused) {
        host.clear();
        out_len = -7;
        EXPECT_EQ(request_text(310, text), -1) << text.substr(0, 20);
        EXPECT_EQ(host.whats(), (std::vector<std::string>{"out", "open_port"}));
        EXPECT_EQ(out_len, -7);
    }

    // Exactly in_len bytes are the body, whatever follows them.
    host.clear();
    const char buffer[] = "[1,2]";
    EXPECT_EQ(device.DeviceIoControl(310, buffer, 3, out, sizeof out, out_len), -1);
    EXPECT_EQ(device.DeviceIoControl(310, buffer, 5, out, sizeof out, out_len), 7);
}

TEST_F(ControlRequests, Code320ChecksTheBodyOutsideAlarmMode1)
{
    host.io_control_result = 5;
    const std::string broken = R"({"signal_id":)";
    const std::string good = R"({"signal_id":"1"})";
    const struct {
        int mode;
        const std::string& body;
        int result;
    } cases[] = {{1, broken, 5}, {1, good, 5}, {3, broken, -1}, {3, good, 5}, {0, broken, -1}};
    for (const auto& c : cases) {
        device.b_mode_ = c.mode;
        device.write_result_ = 1;
        host.clear();
        EXPECT_EQ(request_text(320, c.body), c.result) << c.mode << " " << c.body;
        EXPECT_EQ(host.of("host_io_control").size(), c.result == -1 ? 0u : 1u);
        EXPECT_EQ(host.of("open_port").size(), 1u);
        EXPECT_EQ(device.state_, 320);
        EXPECT_EQ(device.write_result_, -1);
    }
}

TEST_F(ControlRequests, DocumentTextFitsExactlyOrReportsItsLength)
{
    XK83T_Data_t record{};
    record.temperature = 253;
    complete_cycle(device, clock, record);
    const std::string expected = Json::FastWriter().write(device.json_);
    ASSERT_GT(expected.size(), 699u);

    std::vector<char> buffer(expected.size() + 8, '#');
    host.clear();
    EXPECT_EQ(device.DeviceIoControl(801, nullptr, 0, buffer.data(), static_cast<int>(expected.size()), out_len), 0);
    EXPECT_EQ(out_len, static_cast<int>(expected.size()));
    EXPECT_EQ(std::string(buffer.data(), expected.size()), expected);
    EXPECT_EQ(buffer[expected.size()], '#');  // no terminating NUL
    EXPECT_EQ(host.whats(), std::vector<std::string>{"out"});
    EXPECT_EQ(host.console(), std::vector<std::string>{line_of(801)});

    std::vector<char> small(expected.size(), '#');
    out_len = 0;
    EXPECT_EQ(device.DeviceIoControl(801, nullptr, 0, small.data(), static_cast<int>(expected.size()) - 1, out_len), -1);
    EXPECT_EQ(out_len, static_cast<int>(expected.size()));
    EXPECT_EQ(small, std::vector<char>(expected.size(), '#'));

    // A negative capacity or a null buffer takes nothing.
    for (const auto& [target, cap] : {std::pair<void*, int>{small.data(), -1}, {nullptr, 1 << 20}}) {
        out_len = 0;
        EXPECT_EQ(device.DeviceIoControl(801, nullptr, 0, target, cap, out_len), -1);
        EXPECT_EQ(out_len, static_cast<int>(expected.size()));
    }
}

TEST_F(ControlRequests, TwoTextRequestsWithoutACycleBetweenShowTheSameBuild)
{
    XK83T_Data_t record{};
    record.temperature = 100;
    complete_cycle(device, clock, record);
    std::vector<char> first(1 << 17), second(1 << 17);
    int first_len = 0, second_len = 0;
    ASSERT_EQ(device.DeviceIoControl(801, nullptr, 0, first.data(), 1 << 17, first_len), 0);
    device.data_.temperature = 200;  // not a completed cycle
    ASSERT_EQ(device.DeviceIoControl(801, nullptr, 0, second.data(), 1 << 17, second_len), 0);
    EXPECT_EQ(std::string(first.data(), first_len), std::string(second.data(), second_len));
    EXPECT_EQ(device.json_["环境温度"].asDouble(), 10.0);
}

// The text is written once per change of the document and reused while the
// document stays as it is: a rebuild and a member added by a rule's lookup
// are changes.
TEST_F(ControlRequests, DocumentTextFollowsEveryChangeOfTheDocument)
{
    const auto document_text = [this] {
        std::vector<char> buffer(1 << 17);
        int length = 0;
        EXPECT_EQ(device.DeviceIoControl(801, nullptr, 0, buffer.data(), 1 << 17, length), 0);
        return std::string(buffer.data(), static_cast<std::size_t>(length));
    };
    const auto written_now = [this] { return Json::FastWriter().write(device.json_); };

    device.ai_rule_map_["规则里的信号"] = {"0418101001", "规则里的信号"};  // alarm mode 1
    XK83T_Data_t record{};
    record.temperature = 100;
    complete_cycle(device, clock, record);
    const std::string first = document_text();
    EXPECT_EQ(first, written_now());
    EXPECT_EQ(document_text(), first);

    record.temperature = 200;
    complete_cycle(device, clock, record);
    const std::string rebuilt = document_text();
    EXPECT_NE(rebuilt, first);
    EXPECT_EQ(rebuilt, written_now());
    EXPECT_EQ(document_text(), rebuilt);

    // A cycle within the same second does not rebuild, but its evaluation
    // looks up the signal of a new rule and so adds a member.
    device.ai_rule_map_["另一个信号"] = {"0418101002", "另一个信号"};
    device.LoadFromCache(reinterpret_cast<const unsigned char*>(&record), sizeof record);
    ASSERT_TRUE(device.json_.isMember("另一个信号"));
    const std::string looked_up = document_text();
    EXPECT_NE(looked_up, rebuilt);
    EXPECT_EQ(looked_up, written_now());
}

TEST_F(ControlRequests, TextOfADeviceWithoutACycleIsNull)
{
    EXPECT_EQ(device.DeviceIoControl(801, nullptr, 0, out, sizeof out, out_len), 0);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(out), out_len), "null\n");
}

TEST_F(ControlRequests, DocumentAddressIsAPointerSizedAnswer)
{
    device.b_mode_ = 0;  // so only the request builds the document
    complete_cycle(device, clock, XK83T_Data_t{});
    ASSERT_TRUE(device.json_.isNull());
    host.clear();

    const Json::Value* address = nullptr;
    EXPECT_EQ(device.DeviceIoControl(803, nullptr, 0, &address, sizeof address, out_len), 0);
    EXPECT_EQ(out_len, static_cast<int>(sizeof(void*)));
    EXPECT_EQ(address, &device.json_);
    EXPECT_EQ(device.json_.size(), 699u);

    std::memset(out, 0xAB, sizeof out);
    out_len = 0;
    EXPECT_EQ(device.DeviceIoControl(803, nullptr, 0, out, static_cast<int>(sizeof(void*)) - 1, out_len), -1);
    EXPECT_EQ(out_len, static_cast<int>(sizeof(void*)));
    EXPECT_EQ(out[0], 0xAB);
    for (const auto& [target, cap] : {std::pair<void*, int>{out, -8}, {nullptr, 64}}) {
        EXPECT_EQ(device.DeviceIoControl(803, nullptr, 0, target, cap, out_len), -1);
        EXPECT_EQ(out_len, static_cast<int>(sizeof(void*)));
    }
    EXPECT_EQ(host.console(), std::vector<std::string>(4, line_of(803)));
}

TEST_F(ControlRequests, OtherCodesGetTheWriteOutcomeBeforeTheHostAnswers)
{
    std::vector<unsigned char> seen_out;
    int seen_len = -7;
    host.io_control_result = 42;
    host.io_control_handler = [&](int, void* o, int, int& len) {
        seen_len = len;
        if (o != nullptr)
            seen_out.assign(static_cast<unsigned char*>(o), static_cast<unsigned char*>(o) + 4);
    };

    const std::vector<unsigned char> in = {9, 9};
    std::memset(out, 0xAB, sizeof out);
    EXPECT_EQ(request(1234, in, out, 4), 42);
    EXPECT_EQ(seen_len, 4);
    const int fresh = -1;
    EXPECT_EQ(std::memcmp(seen_out.data(), &fresh, 4), 0);
    EXPECT_EQ(host.whats(), (std::vector<std::string>{"out", "host_io_control"}));
    EXPECT_EQ(host.console(), std::vector<std::string>{line_of(1234)});
    EXPECT_EQ(host.of("host_io_control")[0].ints, (std::vector<long long>{1234, 2, 4}));

    // Too small, negative or without a buffer: nothing written, length 0,
    // and the host still gets the arguments as they came.
    for (const auto& [target, cap] : {std::pair<void*, int>{out, 3}, {out, -4}, {nullptr, 4}}) {
        std::memset(out, 0xAB, sizeof out);
        host.clear();
        out_len = -7;
        EXPECT_EQ(request(5, in, target, cap), 42);
        EXPECT_EQ(seen_len, 0) << cap;
        EXPECT_EQ(out[0], 0xAB);
        EXPECT_EQ(host.of("host_io_control")[0].ints, (std::vector<long long>{5, 2, cap}));
    }

    // The host's handler has the last word on what the buffer holds.
    host.io_control_handler = [](int, void* o, int, int& len) {
        std::memset(o, 0, 4);
        len = 2;
    };
    EXPECT_EQ(request(5, in, out, 4), 42);
    EXPECT_EQ(out_len, 2);
    EXPECT_EQ(out[0], 0);
}

TEST_F(ControlRequests, HostRequestsResetTheWriteOutcome)
{
    request(206, {1, 0, 5, 0});
    const unsigned short echo[] = {5};
    deliver_reply(device, echo, 1);
    ASSERT_EQ(write_outcome(), 1);
    host.io_control_result = 0;
    request_text(310, "{}");
    EXPECT_EQ(write_outcome(), -1);
}

}  // namespace
