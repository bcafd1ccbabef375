#pragma once

#include <device/clock.h>

#include <boost/date_time/posix_time/posix_time.hpp>

#include <string>

namespace xk83t_test {

// A settable local clock; epoch seconds follow it as if local time were UTC.
class ManualClock : public xk83t::ClockSource {
public:
    explicit ManualClock(const std::string& local = "2024-03-05 07:04:09");
    ~ManualClock() override;
    boost::posix_time::ptime local_time() override { return now_; }
    std::time_t epoch_seconds() override;
    void set(const std::string& local) { now_ = boost::posix_time::time_from_string(local); }
    void advance(long seconds) { now_ += boost::posix_time::seconds(seconds); }

private:
    boost::posix_time::ptime now_;
    xk83t::ClockSource* previous_;
};

}  // namespace xk83t_test
