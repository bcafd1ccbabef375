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

// Gives `member` the value whose source starts at `at`. A text equal to the
// member's current one is left in place, so steady states allocate nothing;
// texts are owned by the document, never borrowed from this library.
void assign_member(Json::Value& member, Reading reading, double divisor, const unsigned char* at);

}  // namespace xk83t
