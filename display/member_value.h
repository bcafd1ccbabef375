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

// Gives `member` the value whose source starts at `at`. Nothing is allocated
// once the member holds a value of its type.
//
// A state text is held as a Json::StaticString pointing at one of four
// copies that live as long as the process (made once, never freed, even
// when this library is unloaded): a copy of the document, which copies such
// a text as a pointer, stays valid for as long as the host keeps it.
void assign_member(Json::Value& member, Reading reading, double divisor, const unsigned char* at);

}  // namespace xk83t
