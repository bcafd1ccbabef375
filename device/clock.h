#pragma once

// The device's only view of the time of day. Tests and the scenario runner
// replace the source; everything else reads the system clock.

#include <boost/date_time/posix_time/ptime.hpp>

#include <ctime>

namespace xk83t {

class ClockSource {
public:
    virtual ~ClockSource() = default;
    virtual boost::posix_time::ptime local_time() = 0;  // whole seconds
    virtual std::time_t epoch_seconds() = 0;            // as time() gives it
};

// nullptr restores the system clock. Returns the previous source.
ClockSource* set_clock_source(ClockSource* source);

boost::posix_time::ptime local_now();
std::time_t epoch_now();

}  // namespace xk83t
