#include "memory_per_device.h"

#include "bench_support.h"

#include <malloc.h>

#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

namespace xk83t_bench {
namespace {

constexpr int kDevices = 1000;

// Bytes in use in glibc's heap, chunk headers included, mapped blocks too.
std::size_t heap_in_use()
{
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

using Step = std::function<void(XK83T&)>;
const Step nothing = [](XK83T&) {};

// Heap per device held by kDevices devices, each prepared, cycled once and
// then given a last step.
double bytes_per_device(const std::vector<std::vector<unsigned short>>& replies, const Step& prepare,
                        const Step& finish = nothing)
{
    std::vector<std::unique_ptr<XK83T>> devices;
    devices.reserve(kDevices);
    const std::size_t before = heap_in_use();
    for (int i = 0; i < kDevices; ++i) {
        auto device = std::make_unique<XK83T>();
        prepare(*device);
        run_cycle(*device, replies);
        finish(*device);
        devices.push_back(std::move(device));
    }
    const std::size_t after = heap_in_use();
    return static_cast<double>(after - before) / kDevices;
}

}  // namespace

int report_memory(std::ostream& out)
{
    std::size_t limits = 0;
    double plain = 0;
    double mode5 = 0;
    double with_text = 0;
    {
        BenchProcess process;
        QuietCout quiet;
        const std::vector<NumericSignal> signals = numeric_signals();
        const auto replies = plant_replies(0);
        // What every process holds once, whatever its number of devices
        // (the member names, formatted once), is made before counting.
        bytes_per_device(replies, nothing);

        plain = bytes_per_device(replies, nothing);
        mode5 = bytes_per_device(replies, [&](XK83T& device) { limits = install_rules(device, 5, signals.size(), signals); });
        std::vector<char> text(1 << 17);
        with_text = bytes_per_device(replies, nothing, [&text](XK83T& device) {
            int length = 0;
            device.DeviceIoControl(801, nullptr, 0, text.data(), static_cast<int>(text.size()), length);
        });
    }

    char line[160];
    out << "Heap per device after one cycle (" << kDevices << " devices, glibc mallinfo2):\n";
    std::snprintf(line, sizeof line, "  %-48s %9.0f bytes  %6.1f KiB\n", "no rules (alarm mode 1)", plain,
                  plain / 1024);
    out << line;
    const std::string rules = "mode-5 rule set (" + std::to_string(limits) + " limits)";
    std::snprintf(line, sizeof line, "  %-48s %9.0f bytes  %6.1f KiB\n", rules.c_str(), mode5, mode5 / 1024);
    out << line;
    std::snprintf(line, sizeof line, "  %-48s %9.0f bytes  %6.1f KiB\n", "no rules, document asked for as text (801)",
                  with_text, with_text / 1024);
    out << line << std::flush;
    return 0;
}

}  // namespace xk83t_bench
