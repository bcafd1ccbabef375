#include "clock.h"

#include <boost/date_time/posix_time/posix_time_types.hpp>

#include <atomic>

namespace xk83t {
namespace {

std::atomic<ClockSource*> source{nullptr};

}  // namespace

ClockSource* set_clock_source(ClockSource* s)
{
    return source.exchange(s);
}

boost::posix_time::ptime local_now()
{
    if (ClockSource* s = source.load())
        return s->local_time();
    return boost::posix_time::second_clock::local_time();
}

std::time_t epoch_now()
{
    if (ClockSource* s = source.load())
        return s->epoch_seconds();
    return std::time(nullptr);
}

}  // namespace xk83t
