#include "rule_checks.h"

#include <algorithm>
#include <array>
#include <set>
#include <sstream>

namespace xk83t_replay {
namespace {

const std::array<const char*, 4> kComparisonWords = {"upper", "lower", "equal", "notequal"};
// Positions 3 and 8 of an analog signal id are rewritten to make its alarm id.
constexpr std::size_t kShortestSignalId = 9;
// Further apart than this, a name is not taken for a misspelling.
constexpr std::size_t kMostEditsOfMisspelling = 2;

std::string quoted(const std::string& text)
{
    return "\"" + text + "\"";
}

std::string number_text(float value)
{
    std::ostringstream s;
    s << value;
    return s.str();
}

// UTF-8 text as code points, so that one Chinese character is one edit.
std::vector<std::string> characters(const std::string& text)
{
    std::vector<std::string> out;
    for (std::size_t i = 0; i < text.size();) {
        std::size_t n = 1;
        const auto lead = static_cast<unsigned char>(text[i]);
        if (lead >= 0xF0)
            n = 4;
        else if (lead >= 0xE0)
            n = 3;
        else if (lead >= 0xC0)
            n = 2;
        out.push_back(text.substr(i, n));
        i += n;
    }
    return out;
}

std::size_t edit_distance(const std::vector<std::string>& a, const std::vector<std::string>& b)
{
    std::vector<std::size_t> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j)
        row[j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[b.size()];
}

std::string unknown_name_message(const Vocabulary& vocabulary, const std::string& name)
{
    std::string message = "unknown data name " + quoted(name);
    const std::string suggestion = closest_member(vocabulary, name);
    if (!suggestion.empty())
        message += " (did you mean " + quoted(suggestion) + "?)";
    return message;
}

// A rule that evaluates a number: its data name must be a numeric member.
void check_numeric_name(const Vocabulary& vocabulary, const std::string& name, std::vector<std::string>& problems)
{
    if (!vocabulary.has(name))
        problems.push_back(unknown_name_message(vocabulary, name));
    else if (!vocabulary.numeric(name))
        problems.push_back("data name " + quoted(name) + " is a text in the display document, not a number");
}

void check_ai_rules(const LoadedRules& rules, const Vocabulary& vocabulary, std::vector<Finding>& findings)
{
    for (const auto& [name, rule] : rules.ai_rules) {
        std::vector<std::string> problems;
        check_numeric_name(vocabulary, name, problems);
        if (rule.first.size() < kShortestSignalId)
            problems.push_back("signal id " + quoted(rule.first) + " is shorter than nine characters");
        for (const auto& p : problems)
            findings.push_back({rules.rule_file, "AI/" + name, p});
    }
}

void check_alarm_rules(const LoadedRules& rules, const Vocabulary& vocabulary, const Json::Value& settings,
                       const std::string& settings_file, std::vector<Finding>& findings)
{
    for (const auto& [key, value] : rules.alarm_rules) {
        const std::string where = "ALARM/" + key;
        const std::string data_name = xk83t::split_first(key, '_').first;
        if (!vocabulary.has(data_name))
            findings.push_back({rules.rule_file, where, unknown_name_message(vocabulary, data_name)});

        const auto [alarm_key, word] = xk83t::split_first(value, ',');
        if (value.find(',') == std::string::npos) {
            findings.push_back({rules.rule_file, where,
                                "value " + quoted(value) + " has no comparison word (alarm key,comparison)"});
        } else if (std::find(kComparisonWords.begin(), kComparisonWords.end(), word) == kComparisonWords.end()) {
            findings.push_back({rules.rule_file, where,
                                "unknown comparison word " + quoted(word) + " (upper, lower, equal or notequal)"});
        }
        if (rules.alarm_info.count(alarm_key) == 0) {
            const Json::Value& thresholds = settings["thresholdSetting"];
            const bool present = thresholds.isObject() && thresholds.isMember(alarm_key);
            findings.push_back({rules.rule_file, where,
                                present ? "\"thresholdSetting\" member " + quoted(alarm_key) + " in " +
                                              settings_file + " is not an object"
                                        : "alarm key " + quoted(alarm_key) + " has no \"thresholdSetting\" member"});
        }
    }
}

bool has_text(const Json::Value& member, const char* key)
{
    const Json::Value& v = member[key];
    return !v.isNull() && v.isConvertibleTo(Json::stringValue) && !v.asString().empty();
}

// The "thresholdSetting" member a limit was read from: the last one, in the
// reader's order, that names the signal and gives the whole limit.
std::string threshold_member(const Json::Value& settings, const std::string& name, const std::string& prefix)
{
    std::string found;
    const Json::Value& thresholds = settings["thresholdSetting"];
    if (!thresholds.isObject())
        return found;
    for (auto it = thresholds.begin(); it != thresholds.end(); ++it) {
        const Json::Value& member = *it;
        if (!member.isObject() || !has_text(member, "ID") || !has_text(member, "SignalName") ||
            member["SignalName"].asString() != name)
            continue;
        if (has_text(member, (prefix + "Value").c_str()) && has_text(member, (prefix + "ReconverValue").c_str()) &&
            has_text(member, (prefix + "AlarmLevel").c_str()))
            found = it.name();
    }
    return found;
}

void check_threshold_limits(const LoadedRules& rules, const Vocabulary& vocabulary, const Json::Value& settings,
                            const std::string& settings_file, std::vector<Finding>& findings)
{
    struct Limit {
        const xk83t::ThresholdMap& map;
        const char* prefix;
        bool upper;
    };
    const std::array<Limit, 4> limits = {
        {{rules.up, "Up", true}, {rules.up2, "Up2", true}, {rules.low, "Low", false}, {rules.low2, "Low2", false}}};

    // A data name is checked once, under the member that gave its first limit.
    std::set<std::string> named;
    for (const auto& limit : limits)
        for (const auto& [name, rule] : limit.map) {
            const std::string where = "thresholdSetting/" + threshold_member(settings, name, limit.prefix);
            if (named.insert(name).second) {
                std::vector<std::string> problems;
                check_numeric_name(vocabulary, name, problems);
                for (const auto& p : problems)
                    findings.push_back({settings_file, where, p});
            }
            const float threshold = std::get<xk83t::kThreshold>(rule);
            const float recover = std::get<xk83t::kRecoverValue>(rule);
            if (limit.upper ? recover >= threshold : recover <= threshold)
                findings.push_back({settings_file, where,
                                    std::string(limit.prefix) + ": recovery value " + number_text(recover) +
                                        " is not " + (limit.upper ? "below" : "above") + " the threshold " +
                                        number_text(threshold)});
        }
}

}  // namespace

std::string closest_member(const Vocabulary& vocabulary, const std::string& name)
{
    const auto wanted = characters(name);
    std::string best;
    std::size_t best_distance = kMostEditsOfMisspelling + 1;
    bool tie = false;
    for (const auto& [member, numeric] : vocabulary.members) {
        (void)numeric;
        const std::size_t d = edit_distance(wanted, characters(member));
        if (d < best_distance) {
            best = member;
            best_distance = d;
            tie = false;
        } else if (d == best_distance) {
            tie = true;
        }
    }
    // Nothing near, or several equally near: no guess is better than a wrong one.
    return best_distance <= kMostEditsOfMisspelling && !tie && best_distance < wanted.size() ? best : "";
}

std::vector<Finding> check_loaded_rules(const LoadedRules& rules, const Vocabulary& vocabulary,
                                        const Json::Value& settings, const std::string& settings_file)
{
    std::vector<Finding> findings;
    switch (rules.mode) {
    case 1:
        check_ai_rules(rules, vocabulary, findings);
        break;
    case 3:
        check_alarm_rules(rules, vocabulary, settings, settings_file, findings);
        break;
    case 5:
        check_threshold_limits(rules, vocabulary, settings, settings_file, findings);
        break;
    default:
        break;  // no other mode evaluates rules
    }
    return findings;
}

}  // namespace xk83t_replay
