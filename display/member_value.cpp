#include "member_value.h"

#include <acquisition/record.h>

namespace xk83t {

Json::Value member_value(Reading reading, double divisor, const unsigned char* at)
{
    switch (reading) {
    case Reading::kRegister:
        return static_cast<double>(static_cast<float>(read_register(at)));
    case Reading::kUnsigned2:
        return static_cast<double>(read_u32_pair(at)) / divisor;
    case Reading::kSigned2:
        return static_cast<double>(read_s32_pair(at)) / divisor;
    case Reading::kClimate:
        return static_cast<double>(static_cast<float>(read_register(at)) / static_cast<float>(divisor));
    case Reading::kStatus:
        return Json::StaticString(status_text(read_register(at)));
    case Reading::kSystemAlarm:
        return Json::StaticString(read_register(at) == 1 ? "告警" : "正常");
    }
    return Json::Value();
}

}  // namespace xk83t
