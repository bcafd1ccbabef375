#include "manual_clock.h"

namespace xk83t_test {

ManualClock::ManualClock(const std::string& local)
    : now_(boost::posix_time::time_from_string(local)), previous_(xk83t::set_clock_source(this))
{
}

ManualClock::~ManualClock()
{
    xk83t::set_clock_source(previous_);
}

std::time_t ManualClock::epoch_seconds()
{
    static const boost::posix_time::ptime epoch(boost::gregorian::date(1970, 1, 1));
    return static_cast<std::time_t>((now_ - epoch).total_seconds());
}

}  // namespace xk83t_test
