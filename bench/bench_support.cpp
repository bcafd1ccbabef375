#include "bench_support.h"

#include <acquisition/register_plan.h>

#include <boost/date_time/posix_time/posix_time.hpp>

#include <algorithm>
#include <cstdio>

namespace xk83t_bench {

TickingClock::TickingClock()
    : now_(boost::posix_time::time_from_string("2024-03-05 07:04:09")), previous_(xk83t::set_clock_source(this))
{
}

TickingClock::~TickingClock()
{
    xk83t::set_clock_source(previous_);
}

boost::posix_time::ptime TickingClock::local_time()
{
    now_ += boost::posix_time::seconds(1);
    return now_;
}

std::time_t TickingClock::epoch_seconds()
{
    static const boost::posix_time::ptime epoch(boost::gregorian::date(1970, 1, 1));
    return static_cast<std::time_t>((now_ - epoch).total_seconds());
}

BenchProcess::BenchProcess() : previous_(set_host_services(&host_)) {}

BenchProcess::~BenchProcess()
{
    set_host_services(previous_);
}

namespace {

// A two-register measurement: high word first, small values in the low one.
unsigned short measurement_word(int reg, int variant)
{
    const bool high_half = (reg - 4) % 2 == 0;
    if (high_half)
        return 0;
    const unsigned spread = (static_cast<unsigned>(reg) * 2654435761u >> 20) % 5000u;
    return static_cast<unsigned short>(1000u + spread + 3u * static_cast<unsigned>(variant));
}

unsigned short plant_word(int reg, int variant)
{
    switch (reg) {
    case 0:
        return 0x0083;  // hardware code
    case 1:
        return 0x0102;  // software version
    case 2:
        return 0x1234;
    case 3:
        return 0x5678;
    case 4197:
        return static_cast<unsigned short>(253 + variant);  // 25.3 degrees
    case 4198:
        return 600;  // 60 per cent
    default:
        break;
    }
    if (reg < 4096)
        return measurement_word(reg, variant);
    // States: a few switches not enabled, nothing in alarm.
    return reg >= 4101 && reg % 17 == 0 ? 2 : 0;
}

}  // namespace

std::vector<std::vector<unsigned short>> plant_replies(int variant)
{
    std::vector<std::vector<unsigned short>> replies;
    for (const xk83t::BlockRead& block : xk83t::kRegisterPlan) {
        std::vector<unsigned short> words;
        for (int reg = block.start; reg < block.start + block.count; ++reg)
            words.push_back(plant_word(reg, variant));
        replies.push_back(std::move(words));
    }
    return replies;
}

void run_cycle(XK83T& device, const std::vector<std::vector<unsigned short>>& replies)
{
    device.RefreshStatus();
    for (const std::vector<unsigned short>& words : replies)
        deliver_reply(device, words.data(), static_cast<unsigned>(words.size()));
}

std::vector<NumericSignal> numeric_signals()
{
    XK83T device;
    run_cycle(device, plant_replies(0));
    std::vector<NumericSignal> signals;
    for (auto it = device.json_.begin(); it != device.json_.end(); ++it)
        if (it->isDouble())
            signals.push_back({it.name(), it->asDouble()});
    return signals;
}

namespace {

std::string numbered(const char* prefix, std::size_t n)
{
    char text[32];
    std::snprintf(text, sizeof text, "%s%06zu", prefix, n);
    return text;
}

void add_ai_rule(XK83T& device, const NumericSignal& signal, std::size_t n)
{
    const std::string id = numbered("0418", n);  // ten characters
    device.ai_rule_map_[signal.name] = {id, signal.name};
    std::string alarm_id = id;
    alarm_id[3] = '6';
    alarm_id[8] = '1';
    SMDVDevice::BAOSetting setting;
    setting.change_report = true;
    setting.change_step = 0.02f;
    setting.period_report = true;
    setting.period_minutes = 5;
    device.bao_settings_[alarm_id] = setting;
}

void add_alarm_rule(XK83T& device, const NumericSignal& signal, std::size_t n)
{
    const std::string key = signal.name + "过高";
    device.alarm_rule_map_[signal.name + "_high"] = key + ",upper";
    device.threshold_level_map_[key] = 1 + static_cast<int>(n % 3);
    device.threshold_value_map_[key] = static_cast<float>(signal.value * 1.1);
    device.alarm_info_map_[key] = numbered("0418-", n) + ";" + numbered("0418", n) + ";1;";
    device.signal_name_map_[key] = key;
}

// Upper limits above the value and lower ones below it, except every eighth
// signal, which is above its first upper limit: a plant with a few alarms.
void add_limits(XK83T& device, const NumericSignal& signal, std::size_t n)
{
    const std::string id = numbered("0418", n);
    const float v = static_cast<float>(signal.value);
    const float up = n % 8 == 0 ? v * 0.9f : v * 1.2f;
    device.up_threshold_map_[signal.name] = {id + "001", up, up * 0.98f, false, 1};
    device.up2_threshold_map_[signal.name] = {id + "002", v * 1.5f, v * 1.47f, false, 2};
    device.low_threshold_map_[signal.name] = {id + "003", v * 0.8f, v * 0.82f, false, 1};
    device.low2_threshold_map_[signal.name] = {id + "004", v * 0.5f, v * 0.52f, false, 2};
}

}  // namespace

std::size_t install_rules(XK83T& device, int mode, std::size_t ruled, const std::vector<NumericSignal>& signals)
{
    device.b_mode_ = mode;
    if (mode == 1)
        device.alarm_rule_map_["系统总告警状态"] = "041830100";
    std::size_t rules = 0;
    for (std::size_t i = 0; i < std::min(ruled, signals.size()); ++i) {
        switch (mode) {
        case 1:
            add_ai_rule(device, signals[i], i);
            rules += 1;
            break;
        case 3:
            add_alarm_rule(device, signals[i], i);
            rules += 1;
            break;
        case 5:
            add_limits(device, signals[i], i);
            rules += 4;
            break;
        default:
            break;
        }
    }
    return rules;
}

}  // namespace xk83t_bench
