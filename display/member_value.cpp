#include "member_value.h"

#include <acquisition/record.h>

#include <cstring>

namespace xk83t {
namespace {

bool holds_text(const Json::Value& member, const char* text)
{
    const char* begin = nullptr;
    const char* end = nullptr;
    if (!member.getString(&begin, &end))
        return false;
    const std::size_t length = std::strlen(text);
    return static_cast<std::size_t>(end - begin) == length && std::memcmp(begin, text, length) == 0;
}

void assign_text(Json::Value& member, const char* text)
{
    if (!holds_text(member, text))
        member = text;
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
        assign_text(member, status_text(read_register(at)));
        return;
    case Reading::kSystemAlarm:
        assign_text(member, read_register(at) == 1 ? "告警" : "正常");
        return;
    }
}

}  // namespace xk83t
