#include "local_time_text.h"

#include <boost/date_time/gregorian/gregorian_types.hpp>

#include <cctype>
#include <stdexcept>

namespace xk83t_replay {
namespace {

bool shaped_like_local_time(const std::string& text)
{
    static const std::string shape = "dddd-dd-dd dd:dd:dd";
    if (text.size() != shape.size())
        return false;
    for (std::size_t i = 0; i < shape.size(); ++i) {
        const bool digit = std::isdigit(static_cast<unsigned char>(text[i])) != 0;
        if (shape[i] == 'd' ? !digit : text[i] != shape[i])
            return false;
    }
    return true;
}

}  // namespace

std::optional<boost::posix_time::ptime> local_time_from_text(const std::string& text)
{
    if (!shaped_like_local_time(text))
        return std::nullopt;
    const int hours = std::stoi(text.substr(11, 2));
    const int minutes = std::stoi(text.substr(14, 2));
    const int seconds = std::stoi(text.substr(17, 2));
    if (hours > 23 || minutes > 59 || seconds > 59)
        return std::nullopt;
    try {
        const boost::gregorian::date day(static_cast<unsigned short>(std::stoi(text.substr(0, 4))),
                                         static_cast<unsigned short>(std::stoi(text.substr(5, 2))),
                                         static_cast<unsigned short>(std::stoi(text.substr(8, 2))));
        return boost::posix_time::ptime(day, boost::posix_time::time_duration(hours, minutes, seconds));
    } catch (const std::out_of_range&) {
        return std::nullopt;
    }
}

}  // namespace xk83t_replay
