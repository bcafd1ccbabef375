#include "scenario_clock.h"

#include <boost/date_time/gregorian/gregorian_types.hpp>

namespace xk83t_replay {

ScenarioClock::ScenarioClock(boost::posix_time::ptime start)
    : now_(start), previous_(xk83t::set_clock_source(this))
{
}

ScenarioClock::~ScenarioClock()
{
    xk83t::set_clock_source(previous_);
}

std::time_t ScenarioClock::epoch_seconds()
{
    static const boost::posix_time::ptime epoch(boost::gregorian::date(1970, 1, 1));
    return static_cast<std::time_t>((now_ - epoch).total_seconds());
}

void ScenarioClock::advance(long long seconds)
{
    now_ += boost::posix_time::seconds(static_cast<long>(seconds));
}

}  // namespace xk83t_replay
