// A display request on one thread while the polling thread completes
// cycles. Its real judge is ThreadSanitizer (scripts/test-sanitizer thread).

#include "support/manual_clock.h"

#include <acquisition/register_plan.h>
#include <device/xk83t.h>
#include <host/host_services.h>

#include <json/reader.h>

#include <gtest/gtest.h>

#include <atomic>
#include <iostream>
#include <map>
#include <mutex>
#include <streambuf>
#include <string>
#include <thread>
#include <vector>

using namespace xk83t_test;

namespace {

// Console capture for several threads: each thread's characters gather
// into its own line, so lines written at the same time stay whole.
class SharedConsole : public std::streambuf {
public:
    SharedConsole() : saved_(std::cout.rdbuf(this)) {}
    ~SharedConsole() override { std::cout.rdbuf(saved_); }

    std::size_t count(const std::string& line) const
    {
        std::lock_guard<std::mutex> lock(mutex_);
        std::size_t n = 0;
        for (const std::string& l : lines_)
            n += l == line;
        return n;
    }
    std::size_t size() const
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return lines_.size();
    }

protected:
    int overflow(int ch) override
    {
        if (ch == traits_type::eof())
            return traits_type::not_eof(ch);
        std::lock_guard<std::mutex> lock(mutex_);
        std::string& line = partial_[std::this_thread::get_id()];
        if (ch == '\n') {
            lines_.push_back(line);
            line.clear();
        } else {
            line.push_back(static_cast<char>(ch));
        }
        return ch;
    }

private:
    mutable std::mutex mutex_;
    std::map<std::thread::id, std::string> partial_;
    std::vector<std::string> lines_;
    std::streambuf* saved_;
};

// The host side of the polling thread: only counts what is published.
class PublishCounter : public HostServices {
public:
    PublishCounter() : previous_(set_host_services(this)) {}
    ~PublishCounter() override { set_host_services(previous_); }
    void send_sp(SMDVDevice&, int, const unsigned char*, unsigned int, bool) override { ++published; }

    std::atomic<int> published{0};

private:
    HostServices* previous_;
};

// One cycle in which every register reads `value`.
void run_cycle(XK83T& device, unsigned short value)
{
    std::vector<unsigned short> words(SPModbus::kReplyWords, value);
    device.RefreshStatus();
    for (const xk83t::BlockRead& block : xk83t::kRegisterPlan)
        deliver_reply(device, words.data(), static_cast<unsigned>(block.count));
}

class DisplayWhilePolling : public ::testing::TestWithParam<int> {
protected:
    ManualClock clock{"2024-03-05 07:04:09"};
    SharedConsole console;
    PublishCounter host;
    XK83T device;
};

TEST_P(DisplayWhilePolling, RequestsSeeWholeDocuments)
{
    // Polling goes on until the requester has read this many documents
    // while cycles were still completing, however the threads are scheduled.
    constexpr int kMinCycles = 100;
    constexpr int kMinDocuments = 10;
    constexpr int kMaxCycles = 100000;  // ends the test should requests never succeed
    device.b_mode_ = GetParam();
    std::atomic<bool> polling_done{false};
    std::atomic<int> requests{0};
    std::atomic<int> whole_documents{0};
    std::vector<std::string> faults;

    std::thread requester([&] {
        std::vector<char> buffer(1 << 17);
        Json::Reader reader;
        while (!polling_done.load()) {
            int length = 0;
            const int result = device.DeviceIoControl(801, nullptr, 0, buffer.data(),
                                                      static_cast<int>(buffer.size()), length);
            ++requests;
            Json::Value doc;
            if (result != 0 || !reader.parse(std::string(buffer.data(), length), doc)) {
                faults.push_back("unreadable answer");
                continue;
            }
            if (doc.isNull())
                continue;  // no cycle completed yet
            if (doc.size() != 699u)
                faults.push_back("document of " + std::to_string(doc.size()) + " members");
            // In mode 1 every build follows a completed cycle, so all values
            // come from the same register value.
            if (GetParam() == 1 && (doc["A01电压"] != doc["B48电压"] || doc["A路进线-电压"] != doc["B48电压"]))
                faults.push_back("document mixes cycles");
            ++whole_documents;
        }
    });

    int cycles = 0;
    while (cycles < kMinCycles || (whole_documents.load() < kMinDocuments && cycles < kMaxCycles)) {
        ++cycles;
        clock.advance(1);
        run_cycle(device, static_cast<unsigned short>(cycles));
        std::this_thread::yield();  // a serial line leaves the device idle between cycles
    }
    polling_done = true;
    requester.join();

    EXPECT_EQ(faults, std::vector<std::string>{});
    EXPECT_GE(whole_documents.load(), kMinDocuments);
    EXPECT_EQ(host.published.load(), cycles);
    EXPECT_EQ(console.count("rvSize is 0"), static_cast<std::size_t>(cycles));
    EXPECT_EQ(console.count("XK83T::DeviceIoControl 801"), static_cast<std::size_t>(requests.load()));
    EXPECT_EQ(console.size(), static_cast<std::size_t>(cycles + requests.load()));
    const unsigned last = static_cast<unsigned short>(cycles);
    device.GenJsonData();
    EXPECT_EQ(device.json_["A01电压"].asDouble(), (static_cast<double>(last) * 65536 + last) / 100);
}

INSTANTIATE_TEST_SUITE_P(AlarmModes, DisplayWhilePolling, ::testing::Values(1, 0),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return "Mode" + std::to_string(info.param);
                         });

}  // namespace
