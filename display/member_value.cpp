#include "member_value.h"

#include <acquisition/record.h>

#include <array>
#include <cstring>
#include <string>

namespace xk83t {
namespace {

using StateTexts = std::array<std::string, 4>;

// The texts of codes 0, 1, 2 and of every other code.
const StateTexts& lasting_state_texts()
{
    static const StateTexts* const texts = new StateTexts{status_text(0), status_text(1), status_text(2), status_text(3)};
    return *texts;
}

void assign_lasting_text(Json::Value& member, const std::string& text)
{
    const char* begin = nullptr;
    const char* end = nullptr;
    if (member.getString(&begin, &end) && begin == text.c_str())
        return;
    member = Json::StaticString(text.c_str());
}

const std::string& state_text(std::uint16_t code)
{
    return lasting_state_texts()[code < 3 ? code : 3];
}

}  // namespace

void assign_member(Json::Value& member, Reading reading, double divisor, const unsigned char* at)
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
        assign_lasting_text(member, state_text(read_register(at)));
        return;
    case Reading::kSystemAlarm:
        assign_lasting_text(member, state_text(read_register(at) == 1 ? 1 : 0));
        return;
    }
}

}  // namespace xk83t
