#pragma once

// A readable account of how two traces differ: removed and added events,
// with long lines (records in hex) cut down to where they differ.

#include <string>
#include <vector>

namespace xk83t_replay_test {

std::vector<std::string> split_lines(const std::string& text);

// Empty when the traces are equal.
std::string trace_diff(const std::vector<std::string>& expected, const std::vector<std::string>& actual);

}  // namespace xk83t_replay_test
