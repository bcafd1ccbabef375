#include "rule_evaluation.h"

#include <device/clock.h>

namespace xk83t {
namespace {

// Alarms are raised under the signal id with its 4th and 9th characters
// rewritten; reports stay under the id itself.
constexpr std::size_t kShortestSignalId = 9;

std::string alarm_signal_id(const std::string& signal_id)
{
    std::string id = signal_id;
    id[3] = '6';
    id[8] = '1';
    return id;
}

}  // namespace

void evaluate_ai_rules(SMDVDevice& device, Json::Value& document, const AiRuleMap& rules)
{
    for (const auto& [data_name, rule] : rules) {
        const std::string& signal_id = rule.first;
        // A rule whose id has no 4th and 9th character, or whose signal is not
        // a number, cannot be evaluated: skipping it keeps the other rules and
        // the rest of the cycle running.
        if (signal_id.size() < kShortestSignalId)
            continue;
        const Json::Value& value = document[data_name];
        if (value.isNull() || !value.isConvertibleTo(Json::realValue))
            continue;
        const std::string alarm_id = alarm_signal_id(signal_id);
        device.CheckThreshold(alarm_id, rule.second, value.asFloat(), 1);
        filter_ao_report(device, alarm_id, signal_id, value.asFloat());
    }
}

bool filter_ao_report(SMDVDevice& device, const std::string& fallback_id, const std::string& report_id, float value)
{
    auto& settings = device.bao_settings_;
    auto entry = settings.find(report_id);
    if (entry == settings.end()) {
        const auto fallback = settings.find(fallback_id);
        if (fallback == settings.end())
            return false;
        entry = settings.emplace(report_id, fallback->second).first;
    }
    SMDVDevice::BAOSetting& s = entry->second;

    bool report = false;
    if (s.change_report)
        report |= value > s.last_report_value + s.change_step || value < s.last_report_value - s.change_step;
    if (s.percent_report)
        report |= value > s.last_report_value * (s.percent_step + 100.0f) / 100.0f ||
                  value < s.last_report_value * (100.0f - s.percent_step) / 100.0f;
    if (s.period_report)
        report |= static_cast<float>(epoch_now()) >
                  static_cast<float>(s.last_report_time) + s.period_minutes * 60.0f;
    if (!report)
        return false;

    s.last_report_value = value;
    s.last_report_time = static_cast<std::uint32_t>(epoch_now());
    device.CheckAOReport(report_id, value);
    return true;
}

}  // namespace xk83t
