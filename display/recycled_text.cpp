#include "recycled_text.h"

#include <cstring>

namespace xk83t {
namespace {

bool text_of(const Json::Value& value, const char*& begin, std::size_t& length)
{
    const char* end = nullptr;
    if (!value.getString(&begin, &end))
        return false;
    length = static_cast<std::size_t>(end - begin);
    return true;
}

}  // namespace

void RecycledText::assign(Json::Value& member, const char* text, std::size_t length)
{
    const char* held = nullptr;
    std::size_t held_length = 0;
    if (text_of(member, held, held_length) && held_length == length && std::memcmp(held, text, length) == 0)
        return;

    Json::Value* spare = nullptr;
    for (Json::Value& candidate : spares_) {
        const char* begin = nullptr;
        std::size_t candidate_length = 0;
        if (text_of(candidate, begin, candidate_length) && candidate_length == length) {
            // The spare's bytes were allocated by jsoncpp for a text this
            // object made, and no document shows them now.
            std::memcpy(const_cast<char*>(begin), text, length);
            spare = &candidate;
            break;
        }
    }
    if (spare == nullptr) {
        spare = &spares_[next_evicted_];
        next_evicted_ = (next_evicted_ + 1) % kSpares;
        *spare = Json::Value(text, text + length);
    }

    // What the member held becomes the spare if it is the text this object
    // gave it; anything else (a first build's null, a value put there from
    // outside) is released as jsoncpp would release it.
    member.swapPayload(*spare);
    const char* old = nullptr;
    std::size_t old_length = 0;
    if (!(text_of(*spare, old, old_length) && old == given_))
        *spare = Json::Value();
    text_of(member, given_, held_length);
}

}  // namespace xk83t
