#pragma once

// Every display member whose value comes straight from the record, with its
// name formatted once per process. "AlertArray" and "更新时间" are not in it.

#include "member_value.h"

#include <cstddef>
#include <string>
#include <vector>

namespace xk83t {

struct PlannedMember {
    std::string name;
    std::size_t offset;  // of its source in the record
    Reading reading;
    double divisor;
};

const std::vector<PlannedMember>& display_plan();

}  // namespace xk83t
