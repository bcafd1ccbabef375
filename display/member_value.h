#pragma once

// How one display member's value is read from the record's bytes.

#include <json/value.h>

namespace xk83t {

enum class Reading : unsigned char {
    kRegister,     // one register, shown through single precision
    kUnsigned2,    // two-register value, unsigned, divided in double precision
    kSigned2,      // two-register value, signed, divided in double precision
    kClimate,      // one register divided by the divisor in single precision
    kStatus,       // status code as its text
    kSystemAlarm,  // "告警" when the register is 1, else "正常"
};

// The value of a member whose source starts at `at`. Texts are static
// strings, so assigning them to a member allocates nothing.
Json::Value member_value(Reading reading, double divisor, const unsigned char* at);

}  // namespace xk83t
