#pragma once

// Every member a build writes to the display document, with its name
// formatted once per process, in the document's own order (byte-wise by
// name), so that a rebuild walks the document's members alongside it.
//
// The names live as long as the process: they are made once and never
// freed, not even when this library is unloaded. A document may therefore
// hold them as its keys without copying them (Json::StaticString): a copy of
// the document, which copies such keys as pointers, stays valid for as long
// as the host keeps it.

#include "member_value.h"

#include <array>
#include <cstddef>
#include <string>
#include <vector>

namespace xk83t {

enum class MemberKind : unsigned char {
    kValue,        // a value read from the record
    kAlertArray,   // the "AlertArray" object
    kUpdateTime,   // the "更新时间" text
};

struct PlannedMember {
    std::string name;
    MemberKind kind;
    std::size_t offset;  // of its source in the record (kValue)
    Reading reading;
    double divisor;
};

struct DisplayPlan {
    std::vector<PlannedMember> members;  // in the document's order
    std::string alert_system;            // the members of "AlertArray"
    std::array<std::string, 4> alert_lines;
};

const DisplayPlan& display_plan();

}  // namespace xk83t
