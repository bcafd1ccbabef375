#pragma once

// Runs a scenario against one device of the plug-in, linked into this
// process, and writes the trace. Everything the run changes in the process
// (console buffer, host services, clock, working directory) is put back
// when it returns.

#include <istream>
#include <ostream>
#include <string>

namespace xk83t_replay {

struct ReplayOptions {
    std::string workdir;  // empty: a fresh temporary directory
};

// Exit status: 0 when every step ran (whatever the plug-in answered), 2 when
// the scenario is not valid or cannot be carried out; errors name the line
// as `name`:LINE.
int run_scenario(std::istream& scenario, const std::string& name, std::ostream& trace, std::ostream& errors,
                 const ReplayOptions& options);

}  // namespace xk83t_replay
