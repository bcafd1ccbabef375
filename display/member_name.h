#pragma once

#include <string>

namespace xk83t {

// A member name from one of the "%s%s…" formats: the prefix, then a label.
// Names are cut at 127 bytes, as the device has always formatted them.
std::string member_name(const char* format, const char* prefix, const char* label);

// The feeder label of a group's element: side letter and a two-digit number.
std::string feeder_label(int group, int element);

}  // namespace xk83t
