#pragma once

#include <json/value.h>

namespace xk83t {

// The alarm mode a settings document asks for ("appSetting"/"b_mode" as a
// number or a decimal text). Returns false, leaving mode alone, when the
// document does not say.
bool read_alarm_mode(const Json::Value& settings, int& mode);

// The operator whose rule folder a mode uses.
const char* operator_name(int mode);

}  // namespace xk83t
