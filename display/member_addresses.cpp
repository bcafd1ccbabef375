#include "member_addresses.h"

namespace xk83t {

void MemberAddresses::clear(std::size_t count)
{
    steps_.clear();
    steps_.reserve(count);
    far_.clear();
    last_ = 0;
}

void MemberAddresses::add(Json::Value& member)
{
    const auto at = reinterpret_cast<std::uintptr_t>(&member);
    const auto distance = static_cast<std::intptr_t>(at - last_);
    const std::intptr_t step = distance / kUnit;
    if (distance % kUnit == 0 && step > kFar && step <= std::numeric_limits<std::int16_t>::max()) {
        steps_.push_back(static_cast<std::int16_t>(step));
    } else {
        steps_.push_back(kFar);
        far_.push_back(&member);
    }
    last_ = at;
}

}  // namespace xk83t
