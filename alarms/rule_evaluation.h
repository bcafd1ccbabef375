#pragma once

// Once per completed cycle, the alarm rules of the current mode are checked
// against the display document and the outcome handed to the host's
// threshold and report services. The caller holds the device's mutex_.

#include <device/rule_tables.h>
#include <host/vdevice.h>

#include <json/value.h>

#include <string>

namespace xk83t {

// Mode 1: analog rules, each a threshold check and a filtered report.
void evaluate_ai_rules(SMDVDevice& device, Json::Value& document, const AiRuleMap& rules);

// The report filter: reports value under report_id when its setting (copied
// from fallback_id's if report_id has none) asks for it. True when reported.
bool filter_ao_report(SMDVDevice& device, const std::string& fallback_id, const std::string& report_id,
                      float value);

// Mode 3: alarm rules with a comparison word against the host's thresholds.
void evaluate_alarm_rules(SMDVDevice& device, Json::Value& document, const TextMap& rules, TextMap& alarm_info,
                          TextMap& signal_names);

// Mode 5: one threshold map with hysteresis; upper is false for lower limits.
void check_threshold_map(SMDVDevice& device, const Json::Value& document, ThresholdMap& rules, bool upper);

}  // namespace xk83t
