#pragma once

#include <ostream>

namespace xk83t_bench {

// Creates 1000 devices, completes one cycle on each and writes the heap
// bytes they hold per device: without rules, with the mode-5 rule set, and
// without rules once the document has been asked for as text. Returns the
// process's exit code.
int report_memory(std::ostream& out);

}  // namespace xk83t_bench
