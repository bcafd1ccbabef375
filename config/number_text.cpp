#include "number_text.h"

#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdlib>

namespace xk83t {

int int_from_text(const std::string& text)
{
    const long long value = std::strtoll(text.c_str(), nullptr, 10);
    if (value > INT_MAX)
        return INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return static_cast<int>(value);
}

float float_from_text(const std::string& text)
{
    const double value = std::strtod(text.c_str(), nullptr);
    if (std::isfinite(value)) {
        if (value > FLT_MAX)
            return FLT_MAX;
        if (value < -FLT_MAX)
            return -FLT_MAX;
    }
    return static_cast<float>(value);
}

}  // namespace xk83t
