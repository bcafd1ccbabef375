// One device driven from three threads at once, as a host may: the polling
// thread completes cycles, a control thread asks for the document and passes
// other codes through, a settings thread reapplies changing settings and rule
// files. Its real judge is ThreadSanitizer (scripts/test-sanitizer thread);
// a watchdog ends the process if the threads stall.

#include "support/manual_clock.h"
#include "support/temp_workdir.h"
#include "support/threaded_host.h"

#include <acquisition/register_plan.h>
#include <device/xk83t.h>

#include <json/reader.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>

using namespace xk83t_test;

namespace {

constexpr int kCycles = 400;
constexpr int kSettingsCalls = 100;
constexpr auto kStallLimit = std::chrono::minutes(5);

void run_cycle(XK83T& device, unsigned short value)
{
    std::vector<unsigned short> words(SPModbus::kReplyWords, value);
    device.RefreshStatus();
    for (const xk83t::BlockRead& block : xk83t::kRegisterPlan)
        deliver_reply(device, words.data(), static_cast<unsigned>(block.count));
}

// The rule file and settings of the n-th settings call: alarm modes 1, 3 and
// 5 in turn, with rules on signals the document has.
std::string rule_file(int n)
{
    return "AI:\n"
           "  A路进线-电压: 04181010" + std::to_string(n % 10) + ",A路电压\n"
           "  A01电压: 0418101002,A01电压\n"
           "  环境温度: 0418101003,温度\n"
           "ALARM:\n"
           "  系统总告警状态: sys" + std::to_string(n) + "\n"
           "  A路进线-电压_1: k1,upper\n"
           "  A01电压_2: k2,lower\n"
           "  环境温度_3: k3,notequal\n";
}

Json::Value settings(int n)
{
    static const int kModes[] = {1, 3, 5};
    Json::Value s;
    s["appSetting"]["b_mode"] = kModes[n % 3];
    Json::Value& t = s["thresholdSetting"];
    const char* names[] = {"A路进线-电压", "A01电压", "环境温度"};
    for (int i = 0; i < 3; ++i) {
        Json::Value& m = t["k" + std::to_string(i + 1)];
        m["SignalName"] = names[i];
        m["NMAlarmID"] = "nm";
        m["ID"] = "id" + std::to_string(i);
        m["SignalNumber"] = "1";
        m["UpValue"] = 100 + n % 7;
        m["UpReconverValue"] = 90;
        m["UpAlarmLevel"] = 2;
        m["LowValue"] = "1";
        m["LowReconverValue"] = "2";
        m["LowAlarmLevel"] = "1";
    }
    return s;
}

TEST(Stress, PollingControlAndSettingsThreadsOnOneDevice)
{
    TempWorkdir dir;
    ManualClock clock{"2024-03-05 07:04:09"};
    SharedConsole console;
    PublishCounter host;
    XK83T device;
    device.data_id_ = 5;
    for (const char* key : {"k1", "k2", "k3"}) {
        device.threshold_level_map_[key] = 1;
        device.threshold_value_map_[key] = 50;
    }
    dir.write("ini/5.yaml", rule_file(0));
    device.InitSetting(settings(0));

    std::atomic<bool> polling_done{false};
    std::atomic<bool> finished{false};
    std::atomic<long> progress{0};
    std::mutex faults_mutex;
    std::vector<std::string> faults;
    const auto fault = [&](const std::string& what) {
        std::lock_guard<std::mutex> lock(faults_mutex);
        faults.push_back(what);
    };

    std::thread watchdog([&] {
        auto last_progress = progress.load();
        auto since = std::chrono::steady_clock::now();
        while (!finished.load()) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            if (progress.load() != last_progress) {
                last_progress = progress.load();
                since = std::chrono::steady_clock::now();
            } else if (std::chrono::steady_clock::now() - since > kStallLimit) {
                std::fprintf(stderr, "stress test stalled: no progress for %lld s\n",
                             static_cast<long long>(std::chrono::duration_cast<std::chrono::seconds>(kStallLimit).count()));
                std::_Exit(3);
            }
        }
    });

    int settings_calls = 0;
    std::thread settings_thread([&] {
        for (int n = 1; n <= kSettingsCalls && !polling_done.load(); ++n, ++settings_calls) {
            dir.write("ini/5.yaml", rule_file(n));
            try {
                device.InitSetting(settings(n));
            } catch (const std::exception& e) {
                fault(std::string("InitSetting threw: ") + e.what());
            }
            ++progress;
        }
    });

    int requests = 0;
    std::thread control_thread([&] {
        std::vector<char> buffer(1 << 17);
        Json::Reader reader;
        static const int kCodes[] = {801, 803, 1000};
        while (!polling_done.load()) {
            const int code = kCodes[requests % 3];
            int length = 0;
            try {
                const int result = device.DeviceIoControl(code, nullptr, 0, buffer.data(),
                                                          static_cast<int>(buffer.size()), length);
                if (code == 801) {
                    Json::Value doc;
                    if (result != 0 || !reader.parse(std::string(buffer.data(), length), doc))
                        fault("unreadable document");
                    else if (!doc.isNull() && doc.size() < 699u)
                        fault("document of " + std::to_string(doc.size()) + " members");
                } else if (code == 803) {
                    const Json::Value* address = nullptr;
                    std::memcpy(&address, buffer.data(), sizeof address);
                    if (result != 0 || address != &device.json_)
                        fault("wrong document address");
                }
            } catch (const std::exception& e) {
                fault(std::string("DeviceIoControl threw: ") + e.what());
            }
            ++requests;
            ++progress;
        }
    });

    for (int cycle = 1; cycle <= kCycles; ++cycle) {
        clock.advance(1);
        try {
            run_cycle(device, static_cast<unsigned short>(cycle));
        } catch (const std::exception& e) {
            fault(std::string("cycle threw: ") + e.what());
        }
        ++progress;
        std::this_thread::yield();
    }
    polling_done = true;
    control_thread.join();
    settings_thread.join();
    finished = true;
    watchdog.join();

    std::fprintf(stderr, "stress: %d cycles, %d control requests, %d settings calls\n", kCycles, requests,
                 settings_calls);
    EXPECT_EQ(faults, std::vector<std::string>{});
    EXPECT_EQ(host.published.load(), kCycles);
    EXPECT_EQ(console.count("rvSize is 0"), static_cast<std::size_t>(kCycles));
    EXPECT_GT(requests, 0);
}

}  // namespace
