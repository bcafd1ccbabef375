#include "stream_text.h"

#include <json/writer.h>

#include <sstream>

namespace xk83t {
namespace {

bool has_comments(const Json::Value& value)
{
    return value.hasComment(Json::commentBefore) || value.hasComment(Json::commentAfterOnSameLine) ||
           value.hasComment(Json::commentAfter);
}

}  // namespace

std::string stream_text(const Json::Value& value)
{
    // The stream output sets up a whole writer (a settings document among
    // it) for every value; a real or a null without comments comes out as
    // the library's own number text or "null", made here directly.
    if (!has_comments(value)) {
        if (value.type() == Json::realValue)
            return Json::valueToString(value.asDouble());
        if (value.type() == Json::nullValue)
            return "null";
    }
    std::ostringstream out;
    out << value;
    return out.str();
}

}  // namespace xk83t
