#pragma once

// Types of the alarm rule tables a device keeps.

#include <array>
#include <map>
#include <string>
#include <tuple>
#include <utility>

namespace xk83t {

// (alarm id, threshold, recovery value, active, level)
using ThresholdRule = std::tuple<std::string, float, float, bool, int>;
enum ThresholdField { kAlarmId = 0, kThreshold, kRecoverValue, kActive, kLevel };

using ThresholdMap = std::map<std::string, ThresholdRule>;
using TextMap = std::map<std::string, std::string>;
// data name -> (signal id, signal name)
using AiRuleMap = std::map<std::string, std::pair<std::string, std::string>>;

// The four threshold maps of a device, in the order they are loaded and
// evaluated: first upper, second upper, first lower, second lower.
using ThresholdMaps = std::array<ThresholdMap*, 4>;

// Splits a rule text at the first separator. Without one, both parts are the
// whole text: rule files rely on that to name a signal with a single word.
inline std::pair<std::string, std::string> split_first(const std::string& text, char separator)
{
    const auto at = text.find(separator);
    if (at == std::string::npos)
        return {text, text};
    return {text.substr(0, at), text.substr(at + 1)};
}

}  // namespace xk83t
