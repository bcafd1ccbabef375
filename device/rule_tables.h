#pragma once

// Types of the alarm rule tables a device keeps.

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

}  // namespace xk83t
