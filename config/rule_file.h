#pragma once

// The alarm rule file of a device: searched under ./ini/ by data id, model
// and operator, read as YAML or INI, its "AI" and "ALARM" sections taken
// according to the alarm mode.

#include <device/rule_tables.h>

#include <string>

namespace xk83t {

struct RuleFileQuery {
    unsigned int data_id;
    std::string model;
    std::string operator_name;
};

// The first candidate that exists, or "" when none does. Writes one
// "test ini/yaml:" line per candidate tried.
std::string find_rule_file(const RuleFileQuery& query);

// Searches, reads and takes the rules the mode uses. Reader errors (yaml-cpp,
// Boost.PropertyTree) propagate with the entries stored so far kept.
void read_rule_file(const RuleFileQuery& query, int mode, AiRuleMap& ai_rules, TextMap& alarm_rules);

}  // namespace xk83t
