#include "alarm_mode.h"

#include "number_text.h"

namespace xk83t {

bool read_alarm_mode(const Json::Value& settings, int& mode)
{
    const Json::Value& app = settings["appSetting"];
    if (app.isNull() || !app.isObject())
        return false;
    const Json::Value& b_mode = app["b_mode"];
    if (b_mode.isNull())
        return false;
    mode = int_from_text(b_mode.asString());
    return true;
}

const char* operator_name(int mode)
{
    switch (mode) {
    case 2: return "telecom";
    case 3: return "mobile";
    default: return "unicom";
    }
}

}  // namespace xk83t
