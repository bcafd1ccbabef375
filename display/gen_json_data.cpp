// The display document, rebuilt once per completed cycle.

#include "display_plan.h"
#include "display_slots.h"
#include "display_tables.h"

#include <device/xk83t.h>

#include <cstdio>
#include <cstring>
#include <mutex>

namespace {

// "2024-3-5 7:4:9": no fill characters or leading zeros.
Json::Value update_time_text(const unsigned char* at)
{
    XK83T_Stamp_t stamp;
    std::memcpy(&stamp, at, sizeof stamp);
    char text[32];
    const int length = std::snprintf(text, sizeof text, "%u-%u-%u %u:%u:%u", unsigned{stamp.year},
                                     unsigned{stamp.month}, unsigned{stamp.day}, unsigned{stamp.hour},
                                     unsigned{stamp.minute}, unsigned{stamp.second});
    return Json::Value(text, text + length);
}

}  // namespace

void XK83T::GenJsonData()
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (last_update_ == json_time_)
        return;
    json_time_ = last_update_;

    if (!xk83t::slots_point_into(display_slots_, json_))
        xk83t::bind_slots(display_slots_, json_);

    const unsigned char* record = record_bytes();
    const std::vector<xk83t::PlannedMember>& plan = xk83t::display_plan();
    for (std::size_t i = 0; i < plan.size(); ++i) {
        const xk83t::PlannedMember& member = plan[i];
        xk83t::assign_member(*display_slots_.planned[i], member.reading, member.divisor, record + member.offset);
    }

    *display_slots_.alert_system = xk83t::read_register(record + xk83t::kSystemAlarm.offset) == 1;
    for (std::size_t i = 0; i < display_slots_.alert_lines.size(); ++i) {
        const xk83t::FixedMember& state = xk83t::kLineStates[i];
        if (xk83t::read_register(record + state.offset) != 1)
            continue;
        Json::Value*& entry = display_slots_.alert_lines[i];
        if (entry == nullptr)
            entry = &(*display_slots_.alert_array)[state.name];
        *entry = 1;
    }

    *display_slots_.update_time = update_time_text(record + offsetof(XK83T_Data_t, update_time));
}
