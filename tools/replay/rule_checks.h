#pragma once

// Checks of the alarm rules a device loaded against the display document's
// vocabulary: the mistakes that make a rule silently never fire.

#include <device/rule_tables.h>

#include <json/value.h>

#include <map>
#include <string>
#include <vector>

namespace xk83t_replay {

// The top-level member names of a built display document, each with whether
// its value is a number.
struct Vocabulary {
    std::map<std::string, bool> members;

    bool has(const std::string& name) const { return members.count(name) != 0; }
    bool numeric(const std::string& name) const
    {
        const auto it = members.find(name);
        return it != members.end() && it->second;
    }
};

// The rule tables of a device after its settings were read.
struct LoadedRules {
    int mode = 1;
    std::string rule_file;  // as the findings name it; empty when none was found
    xk83t::AiRuleMap ai_rules;
    xk83t::TextMap alarm_rules;
    xk83t::TextMap alarm_info;
    xk83t::ThresholdMap up, up2, low, low2;
};

struct Finding {
    std::string file;
    std::string key;
    std::string message;
};

// Findings in the order of the rule file's tables, then of the settings.
// `settings` is the document the rules were read from, named `settings_file`.
std::vector<Finding> check_loaded_rules(const LoadedRules& rules, const Vocabulary& vocabulary,
                                        const Json::Value& settings, const std::string& settings_file);

// The member name closest to `name` when it is close enough to be a
// misspelling of it, else "".
std::string closest_member(const Vocabulary& vocabulary, const std::string& name);

}  // namespace xk83t_replay
