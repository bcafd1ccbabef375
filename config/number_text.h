#pragma once

// Numbers written as text in settings ("b_mode", limits, levels). They read
// like atoi/atof (leading blanks, sign, leading digits; 0 when there are
// none), but a value outside the target type's range is clamped to it
// instead of being undefined behaviour.

#include <string>

namespace xk83t {

int int_from_text(const std::string& text);
float float_from_text(const std::string& text);

}  // namespace xk83t
