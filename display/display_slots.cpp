#include "display_slots.h"

#include "display_plan.h"
#include "display_tables.h"

#include <cstring>
#include <iterator>
#include <string>

namespace xk83t {
namespace {

Json::Value* demand(Json::Value& object, const std::string& name)
{
    return object.demand(name.data(), name.data() + name.size());
}

Json::Value* demand(Json::Value& object, const char* name)
{
    return object.demand(name, name + std::strlen(name));
}

}  // namespace

bool slots_point_into(const DisplaySlots& slots, const Json::Value& document)
{
    if (slots.planned.empty() || !document.isObject())
        return false;
    const std::string& first = display_plan().front().name;
    return document.find(first.data(), first.data() + first.size()) == slots.planned.front();
}

void bind_slots(DisplaySlots& slots, Json::Value& document)
{
    const std::vector<PlannedMember>& plan = display_plan();
    slots.planned.clear();
    slots.planned.reserve(plan.size());
    for (const PlannedMember& member : plan)
        slots.planned.push_back(demand(document, member.name));

    slots.alert_array = demand(document, kAlertArrayName);
    slots.alert_system = demand(*slots.alert_array, kSystemAlarm.name);
    static_assert(std::size(kLineStates) == std::tuple_size<decltype(slots.alert_lines)>::value,
                  "one alert entry per incoming-line state");
    for (std::size_t i = 0; i < slots.alert_lines.size(); ++i) {
        // Only the entries of states already seen in alarm exist.
        const char* name = kLineStates[i].name;
        slots.alert_lines[i] = slots.alert_array->isMember(name) ? demand(*slots.alert_array, name) : nullptr;
    }
    slots.update_time = demand(document, kUpdateTimeName);
}

}  // namespace xk83t
