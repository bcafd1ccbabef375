#include "rule_evaluation.h"
#include "stream_text.h"

#include <iostream>

namespace xk83t {
namespace {

// Whether the comparison word holds; false in `known` for any other word.
bool compare(const std::string& word, const Json::Value& value, const Json::Value& threshold, bool& known)
{
    known = true;
    if (word == "upper")
        return value > threshold;
    if (word == "lower")
        return value < threshold;
    if (word == "equal")
        return value == threshold;
    if (word == "notequal")
        return value != threshold;
    known = false;
    return false;
}

}  // namespace

void evaluate_alarm_rules(SMDVDevice& device, Json::Value& document, const TextMap& rules, TextMap& alarm_info,
                          TextMap& signal_names)
{
    for (const auto& [key, rule] : rules) {
        const std::string data_name = split_first(key, '_').first;
        const auto [alarm_key, word] = split_first(rule, ',');
        const int level = device.threshold_level_map_[alarm_key];
        const float threshold = device.threshold_value_map_[alarm_key];
        const Json::Value& value = document[data_name];
        const std::string value_text = stream_text(value);
        std::cout << "dataName:" << data_name << " alarmId:" << alarm_key << " alarmComp:" << word
                  << " level:" << level << " realvalue:" << value_text << " vs " << threshold << std::endl;
        if (level == 0)
            continue;
        const std::string alarm_text = alarm_info[alarm_key] + value_text;
        bool known = false;
        const bool state = compare(word, value, Json::Value(static_cast<double>(threshold)), known);
        if (!known)
            continue;
        device.CheckThresholdBool(level, alarm_key, alarm_key, signal_names[alarm_key], alarm_text, state, 1);
    }
}

}  // namespace xk83t
