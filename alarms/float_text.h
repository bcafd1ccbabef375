#pragma once

#include <string>

namespace xk83t {

// A float as alarm texts show it: widened to double, nine significant digits,
// trailing zeros dropped (57.5 -> "57.5", 42.3f -> "42.2999992").
std::string float_text(float value);

}  // namespace xk83t
