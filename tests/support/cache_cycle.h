#pragma once

#include "manual_clock.h"

#include <device/xk83t.h>

namespace xk83t_test {

// Completes a cycle over `record` the way a cache load does, one second
// after the clock's current time, so the display document is due again.
inline int complete_cycle(XK83T& device, ManualClock& clock, const XK83T_Data_t& record)
{
    clock.advance(1);
    return device.LoadFromCache(reinterpret_cast<const unsigned char*>(&record), sizeof record);
}

// A record whose every byte differs from its neighbours, varied by salt.
inline XK83T_Data_t patterned_record(unsigned salt)
{
    XK83T_Data_t record;
    auto* bytes = reinterpret_cast<unsigned char*>(&record);
    for (std::size_t i = 0; i < sizeof record; ++i)
        bytes[i] = static_cast<unsigned char>(i * 37u + salt);
    return record;
}

}  // namespace xk83t_test
