#include "scenario.h"

#include "hex.h"
#include "local_time_text.h"
#include "workdir.h"

#include <host/spmodbus.h>

#include <json/reader.h>

#include <cctype>
#include <cstdint>
#include <limits>
#include <memory>
#include <set>
#include <sstream>

namespace xk83t_replay {
namespace {

enum class Kind {
    Integer,     // within [min, max]
    Boolean,
    Text,
    LocalTime,   // "YYYY-MM-DD HH:MM:SS"
    Path,        // relative, inside the working directory
    Hex,
    Words,       // 16-bit register words, as many as a reply holds
    Registers,   // {"START": [words...], ...}
    Any,
    LevelTable,  // {"KEY": integer}
    ValueTable,  // {"KEY": number}
    BaoTable,    // {"ID": {report setting fields}}
};

struct FieldSpec {
    const char* name;
    Kind kind;
    bool required;
    long long min = 0;
    long long max = 0;
};

struct StepSpec {
    const char* action;
    std::vector<FieldSpec> fields;
};

constexpr long long kIntMin = std::numeric_limits<int>::min();
constexpr long long kIntMax = std::numeric_limits<int>::max();
constexpr long long kU32Max = std::numeric_limits<std::uint32_t>::max();
// Buffers a step asks for are allocated for real; keep them sane.
constexpr long long kLargestBuffer = 16 * 1024 * 1024;
constexpr long long kLargestQueue = 1000000;
constexpr long long kLastRegister = 65535;

const std::vector<StepSpec>& step_table()
{
    static const std::vector<StepSpec> table = {
        {"create", {{"data_id", Kind::Integer, true, 0, kU32Max}}},
        {"clock", {{"local", Kind::LocalTime, true}}},
        {"advance", {{"seconds", Kind::Integer, true, kIntMin, kIntMax}}},
        {"file", {{"path", Kind::Path, true}, {"text", Kind::Text, true}}},
        {"remove", {{"path", Kind::Path, true}}},
        {"settings", {{"json", Kind::Any, true}}},
        {"refresh", {}},
        {"reply", {{"words", Kind::Words, true}}},
        {"error", {}},
        {"cycle", {{"registers", Kind::Registers, false}}},
        {"poll", {{"registers", Kind::Registers, false}}},
        {"control",
         {{"code", Kind::Integer, true, kIntMin, kIntMax},
          {"in", Kind::Hex, false},
          {"out_cap", Kind::Integer, false, 0, kLargestBuffer}}},
        {"load_cache", {{"hex", Kind::Hex, false}, {"length", Kind::Integer, false, 0, kLargestBuffer}}},
        {"get_value", {}},
        {"host",
         {{"threshold_level", Kind::LevelTable, false},
          {"threshold_value", Kind::ValueTable, false},
          {"bao", Kind::BaoTable, false},
          {"queue_rule_values", Kind::Integer, false, 0, kLargestQueue},
          {"batch_result", Kind::Boolean, false}}},
        {"destroy", {}},
    };
    return table;
}

const StepSpec* find_step(const std::string& action)
{
    for (const auto& spec : step_table())
        if (action == spec.action)
            return &spec;
    return nullptr;
}

std::string quoted(const std::string& text)
{
    return "\"" + text + "\"";
}

bool is_integer_in(const Json::Value& v, long long min, long long max)
{
    if (!v.isInt64())
        return false;
    const long long n = v.asInt64();
    return n >= min && n <= max;
}

bool is_word(const Json::Value& v)
{
    return is_integer_in(v, 0, 0xFFFF);
}

// Each check returns what is wrong with the value, or "" when it is fine.
std::string check_words(const Json::Value& v, unsigned limit)
{
    if (!v.isArray())
        return "must be an array of register words";
    if (v.size() > limit)
        return "holds " + std::to_string(v.size()) + " words, more than the " + std::to_string(limit) +
               " a reply can carry";
    for (const auto& w : v)
        if (!is_word(w))
            return "must hold integers from 0 to 65535";
    return {};
}

bool is_decimal(const std::string& text)
{
    if (text.empty() || text.size() > 5)
        return false;
    for (char c : text)
        if (!std::isdigit(static_cast<unsigned char>(c)))
            return false;
    return true;
}

std::string check_registers(const Json::Value& v)
{
    if (!v.isObject())
        return "must be an object of start register to words";
    std::set<long long> given;
    for (const auto& start_text : v.getMemberNames()) {
        if (!is_decimal(start_text) || std::stoll(start_text) > kLastRegister)
            return "has the key " + quoted(start_text) + ", which is not a register number (0 to 65535)";
        const long long start = std::stoll(start_text);
        const Json::Value& words = v[start_text];
        if (!words.isArray())
            return "maps " + quoted(start_text) + " to something other than an array of words";
        for (Json::ArrayIndex i = 0; i < words.size(); ++i) {
            if (!is_word(words[i]))
                return "maps " + quoted(start_text) + " to words outside 0 to 65535";
            const long long reg = start + i;
            if (reg > kLastRegister)
                return "runs past register 65535 from " + quoted(start_text);
            if (!given.insert(reg).second)
                return "gives register " + std::to_string(reg) + " twice";
        }
    }
    return {};
}

std::string check_table(const Json::Value& v, bool integers)
{
    if (!v.isObject())
        return "must be an object";
    for (const auto& key : v.getMemberNames()) {
        const Json::Value& entry = v[key];
        if (integers ? !is_integer_in(entry, kIntMin, kIntMax) : !entry.isNumeric() || entry.isBool())
            return "maps " + quoted(key) + " to something other than " + (integers ? "an integer" : "a number");
    }
    return {};
}

std::string check_bao_table(const Json::Value& v)
{
    static const std::set<std::string> flags = {"change_report", "percent_report", "period_report"};
    static const std::set<std::string> numbers = {"change_step", "percent_step", "period_minutes",
                                                  "last_report_value"};
    if (!v.isObject())
        return "must be an object of signal id to report setting";
    for (const auto& id : v.getMemberNames()) {
        const Json::Value& setting = v[id];
        if (!setting.isObject())
            return "maps " + quoted(id) + " to something other than an object";
        for (const auto& field : setting.getMemberNames()) {
            const Json::Value& f = setting[field];
            bool fine = false;
            if (flags.count(field))
                fine = f.isBool();
            else if (numbers.count(field))
                fine = f.isNumeric() && !f.isBool();
            else if (field == "last_report_time")
                fine = is_integer_in(f, 0, kU32Max);
            else
                return "gives " + quoted(id) + " the unknown field " + quoted(field);
            if (!fine)
                return "gives " + quoted(id) + " a " + quoted(field) + " of the wrong kind";
        }
    }
    return {};
}

std::string check_field(const FieldSpec& spec, const Json::Value& v)
{
    switch (spec.kind) {
    case Kind::Integer:
        if (!is_integer_in(v, spec.min, spec.max))
            return "must be an integer from " + std::to_string(spec.min) + " to " + std::to_string(spec.max);
        return {};
    case Kind::Boolean:
        return v.isBool() ? "" : "must be true or false";
    case Kind::Text:
        return v.isString() ? "" : "must be a text";
    case Kind::LocalTime:
        if (!v.isString() || !local_time_from_text(v.asString()))
            return "must be a local time written YYYY-MM-DD HH:MM:SS";
        return {};
    case Kind::Path:
        if (!v.isString())
            return "must be a text";
        return check_relative_path(v.asString());
    case Kind::Hex:
        if (!v.isString() || !from_hex(v.asString()))
            return "must be a text of hex byte pairs";
        return {};
    case Kind::Words:
        return check_words(v, SPModbus::kReplyWords);
    case Kind::Registers:
        return check_registers(v);
    case Kind::Any:
        return {};
    case Kind::LevelTable:
        return check_table(v, true);
    case Kind::ValueTable:
        return check_table(v, false);
    case Kind::BaoTable:
        return check_bao_table(v);
    }
    return {};
}

// jsoncpp reports "* Line 1, Column C\n  What is wrong.\n..." for each
// error; a step is one line, so the column and the first error say it all.
std::string first_parse_error(const std::string& errors)
{
    std::istringstream in(errors);
    std::string where, what;
    std::getline(in, where);
    std::getline(in, what);
    const auto column = where.find("Column ");
    const auto start = what.find_first_not_of(' ');
    std::string message = column == std::string::npos ? "" : "c" + where.substr(column + 1) + ": ";
    return message + (start == std::string::npos ? "" : what.substr(start));
}

std::string known_steps()
{
    std::string names;
    for (const auto& spec : step_table())
        names += (names.empty() ? "" : ", ") + std::string(spec.action);
    return names;
}

}  // namespace

Step check_step(int line, const Json::Value& object)
{
    if (!object.isObject())
        throw ScenarioError(line, "a step must be a JSON object");
    const Json::Value& action = object["do"];
    if (!action.isString())
        throw ScenarioError(line, "a step needs \"do\" with the step's name");
    const StepSpec* spec = find_step(action.asString());
    if (spec == nullptr)
        throw ScenarioError(line, "unknown step " + quoted(action.asString()) + " (steps: " + known_steps() + ")");

    for (const auto& name : object.getMemberNames()) {
        if (name == "do")
            continue;
        bool known = false;
        for (const auto& field : spec->fields)
            known = known || name == field.name;
        if (!known)
            throw ScenarioError(line, "step " + quoted(spec->action) + " has no field " + quoted(name));
    }
    for (const auto& field : spec->fields) {
        if (!object.isMember(field.name)) {
            if (field.required)
                throw ScenarioError(line, "step " + quoted(spec->action) + " needs " + quoted(field.name));
            continue;
        }
        const std::string problem = check_field(field, object[field.name]);
        if (!problem.empty())
            throw ScenarioError(line, quoted(field.name) + " of step " + quoted(spec->action) + " " + problem);
    }
    if (spec->action == std::string("load_cache") && object.isMember("hex") == object.isMember("length"))
        throw ScenarioError(line, "step \"load_cache\" needs either \"hex\" or \"length\"");

    return Step{line, spec->action, object};
}

std::vector<Step> parse_scenario(std::istream& in)
{
    Json::CharReaderBuilder builder;
    Json::CharReaderBuilder::strictMode(&builder.settings_);
    const std::unique_ptr<Json::CharReader> reader(builder.newCharReader());

    std::vector<Step> steps;
    std::string text;
    int line = 0;
    while (std::getline(in, text)) {
        ++line;
        if (!text.empty() && text.back() == '\r')
            text.pop_back();
        const auto first = text.find_first_not_of(" \t");
        if (first == std::string::npos || text[first] == '#')
            continue;
        Json::Value object;
        std::string errors;
        if (!reader->parse(text.data(), text.data() + text.size(), &object, &errors))
            throw ScenarioError(line, "not JSON: " + first_parse_error(errors));
        steps.push_back(check_step(line, object));
    }
    if (in.bad())
        throw ScenarioError(line, "the scenario could not be read");
    return steps;
}

}  // namespace xk83t_replay
