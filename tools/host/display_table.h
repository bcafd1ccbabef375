#pragma once

// The display document as a readable table: identity and time, the two
// incoming lines side by side, the feeders of side A beside those of side
// B with their switch states, and the environment.

#include <json/value.h>

#include <ostream>

namespace xk83t_host {

void render_document(const Json::Value& document, unsigned data_id, std::ostream& out);

}  // namespace xk83t_host
