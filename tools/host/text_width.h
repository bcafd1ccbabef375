#pragma once

// Column alignment for UTF-8 text with CJK characters, which take two
// terminal columns each.

#include <string>

namespace xk83t_host {

int display_width(const std::string& utf8);
std::string pad_right(const std::string& utf8, int width);  // left-aligned
std::string pad_left(const std::string& utf8, int width);   // right-aligned

}  // namespace xk83t_host
