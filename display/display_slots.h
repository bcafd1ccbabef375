#pragma once

// Where the display document's members live, found once so that a rebuild
// assigns values in place instead of looking up 699 names. Object members
// sit in a node-based map: their addresses stay valid while members are
// added, and the document never loses one.

#include <json/value.h>

#include <array>
#include <vector>

namespace xk83t {

struct DisplaySlots {
    std::vector<Json::Value*> planned;  // one per display_plan() entry
    Json::Value* alert_array = nullptr;
    Json::Value* alert_system = nullptr;
    std::array<Json::Value*, 4> alert_lines{};  // null until first seen in alarm
    Json::Value* update_time = nullptr;
};

// Whether `slots` point into `document` as it is now. Costs one lookup; a
// document that was replaced wholesale fails it.
bool slots_point_into(const DisplaySlots& slots, const Json::Value& document);

// Adds every member the builds write to `document` (a null document becomes
// an object; members already there, null or not, are kept) and records
// their addresses.
void bind_slots(DisplaySlots& slots, Json::Value& document);

}  // namespace xk83t
