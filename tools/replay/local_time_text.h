#pragma once

#include <boost/date_time/posix_time/posix_time_types.hpp>

#include <optional>
#include <string>

namespace xk83t_replay {

// A local time written exactly "YYYY-MM-DD HH:MM:SS" (a real date and time of
// day); nothing otherwise.
std::optional<boost::posix_time::ptime> local_time_from_text(const std::string& text);

}  // namespace xk83t_replay
