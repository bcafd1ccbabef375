#pragma once

// Alarm definitions carried in the settings document under
// "thresholdSetting": alarm descriptions and signal names in mode 3, the four
// threshold maps in mode 5. Other modes take nothing.

#include <device/rule_tables.h>

#include <json/value.h>

#include <map>
#include <string>

namespace xk83t {

struct HostThresholdTables {
    std::map<std::string, int>& levels;
    std::map<std::string, float>& values;
};

void read_mobile_alarms(const Json::Value& settings, unsigned int data_id, HostThresholdTables host,
                        TextMap& alarm_info, TextMap& signal_names);

void read_threshold_limits(const Json::Value& settings, const ThresholdMaps& maps);

}  // namespace xk83t
