#pragma once

// How one display member's value is read from the record's bytes.

#include <acquisition/record.h>

#include <json/value.h>

#include <cstdint>
#include <string>

namespace xk83t {

enum class Reading : unsigned char {
    kRegister,     // one register, shown through single precision
    kUnsigned2,    // two-register value, unsigned, divided in double precision
    kSigned2,      // two-register value, signed, divided in double precision
    kClimate,      // one register divided by the divisor in single precision
    kStatus,       // status code as its text
    kSystemAlarm,  // "告警" when the register is 1, else "正常"
};

// The text of a state code as documents hold it: one of four copies that
// live as long as the process (made once, never freed, even when this
// library is unloaded), held as a Json::StaticString. A copy of a document,
// which copies such a text as a pointer, stays valid for as long as the
// host keeps it.
const std::string& lasting_state_text(std::uint16_t code);

inline void assign_lasting_text(Json::Value& member, const std::string& text)
{
    const char* begin = nullptr;
    const char* end = nullptr;
    if (member.getString(&begin, &end) && begin == text.c_str())
        return;
    member = Json::StaticString(text.c_str());
}

// Gives `member` the value whose source starts at `at`. Nothing is allocated
// once the member holds a value of its type. Inline: a build makes 697 of
// these calls.
inline void assign_member(Json::Value& member, Reading reading, double divisor, const unsigned char* at)
{
    switch (reading) {
    case Reading::kRegister:
        member = static_cast<double>(static_cast<float>(read_register(at)));
        return;
    case Reading::kUnsigned2:
        member = static_cast<double>(read_u32_pair(at)) / divisor;
        return;
    case Reading::kSigned2:
        member = static_cast<double>(read_s32_pair(at)) / divisor;
        return;
    case Reading::kClimate:
        member = static_cast<double>(static_cast<float>(read_register(at)) / static_cast<float>(divisor));
        return;
    case Reading::kStatus:
        assign_lasting_text(member, lasting_state_text(read_register(at)));
        return;
    case Reading::kSystemAlarm:
        assign_lasting_text(member, lasting_state_text(read_register(at) == 1 ? 1 : 0));
        return;
    }
}

}  // namespace xk83t
