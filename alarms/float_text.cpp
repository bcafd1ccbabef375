#include "float_text.h"

#include <cstdio>

namespace xk83t {

std::string float_text(float value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.*g", 9, static_cast<double>(value));
    return text;
}

}  // namespace xk83t
