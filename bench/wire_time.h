#pragma once

#include <ostream>

namespace xk83t_bench {

// Writes the least time one polling cycle spends on a 9600 baud 8N1 line,
// from the register plan. Returns the process's exit code.
int report_wire_time(std::ostream& out);

}  // namespace xk83t_bench
