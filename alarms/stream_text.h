#pragma once

#include <json/value.h>

#include <string>

namespace xk83t {

// A document value as the JSON library's stream output (operator<<) writes
// it: "50.5", "null", "\"正常\""...
std::string stream_text(const Json::Value& value);

}  // namespace xk83t
