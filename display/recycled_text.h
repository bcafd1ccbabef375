#pragma once

// A text member that changes at every build (the update time), given its
// texts without a heap allocation per build. The document owns each text,
// as with any jsoncpp text: a text of the same length as the one the member
// holds is written over it; one of another length is written over a spare
// of that length, kept from earlier builds, and swapped in. A time text
// takes only a few lengths (one or two digits for the hour, the minute and
// the second), so after the first few builds nothing is allocated.

#include <json/value.h>

#include <array>
#include <cstddef>

namespace xk83t {

class RecycledText {
public:
    void assign(Json::Value& member, const char* text, std::size_t length);

private:
    void keep(Json::Value& text);

    static constexpr std::size_t kSpares = 3;

    // Every spare is null or holds a text this object made; only those, and
    // the member's text while it is the one given, are written over.
    std::array<Json::Value, kSpares> spares_;
    std::size_t next_replaced_ = 0;
    const char* given_ = nullptr;  // the text the member was last given
};

}  // namespace xk83t
