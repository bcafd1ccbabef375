#pragma once

// The plug-in's clock during a run: a local time the scenario sets and moves.
// Epoch seconds follow it as if local time were UTC, so report periods are
// the same on every machine.

#include <device/clock.h>

#include <boost/date_time/posix_time/posix_time_types.hpp>

namespace xk83t_replay {

class ScenarioClock : public xk83t::ClockSource {
public:
    explicit ScenarioClock(boost::posix_time::ptime start);
    ~ScenarioClock() override;
    ScenarioClock(const ScenarioClock&) = delete;
    ScenarioClock& operator=(const ScenarioClock&) = delete;

    boost::posix_time::ptime local_time() override { return now_; }
    std::time_t epoch_seconds() override;

    void set(boost::posix_time::ptime local) { now_ = local; }
    void advance(long long seconds);

private:
    boost::posix_time::ptime now_;
    xk83t::ClockSource* previous_;
};

}  // namespace xk83t_replay
