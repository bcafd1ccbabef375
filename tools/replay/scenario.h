#pragma once

// A scenario: JSON Lines, one step per line, each an object whose "do" names
// the step. Blank lines and lines starting with "#" are skipped. Every step
// is checked against the step table before anything runs.

#include <json/value.h>

#include <istream>
#include <stdexcept>
#include <string>
#include <vector>

namespace xk83t_replay {

struct Step {
    int line = 0;        // 1-based line of the scenario
    std::string action;  // the "do" text
    Json::Value fields;  // the whole step object, checked
};

// A scenario that cannot run: bad JSON, an unknown step or field, a value of
// the wrong kind, or a step that the run cannot carry out.
class ScenarioError : public std::runtime_error {
public:
    ScenarioError(int line, const std::string& message)
        : std::runtime_error(message), line_(line)
    {
    }
    int line() const { return line_; }

private:
    int line_;
};

std::vector<Step> parse_scenario(std::istream& in);

// Checks one step object against the step table; throws ScenarioError.
Step check_step(int line, const Json::Value& object);

}  // namespace xk83t_replay
