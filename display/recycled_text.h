#pragma once

// A text member that changes at every build (the update time) without a
// heap allocation per build. The document owns each text it is given, as
// with any jsoncpp text; what the member held before is kept as a spare
// and, when a later text has the same length, written over and given back.
// A time text takes only a few lengths (one or two digits for the hour,
// minute and second), so after the first few builds every length has its
// spare and nothing is allocated.

#include <json/value.h>

#include <array>
#include <cstddef>

namespace xk83t {

class RecycledText {
public:
    void assign(Json::Value& member, const char* text, std::size_t length);

private:
    static constexpr std::size_t kSpares = 3;

    // Every spare holds a text this object made; only those are written over.
    std::array<Json::Value, kSpares> spares_;
    std::size_t next_evicted_ = 0;
    const char* given_ = nullptr;  // the text the member was last given
};

}  // namespace xk83t
