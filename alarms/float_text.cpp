#include "float_text.h"

#include <charconv>

namespace xk83t {

std::string float_text(float value)
{
    // to_chars with a precision writes exactly what printf's "%.*g" writes,
    // without printf's cost (a mode-5 cycle formats thousands of these).
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, static_cast<double>(value), std::chars_format::general, 9);
    return std::string(text, end.ptr);
}

}  // namespace xk83t
