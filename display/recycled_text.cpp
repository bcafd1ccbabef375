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

std::size_t length_of(const Json::Value& value)
{
    const char* begin = nullptr;
    std::size_t length = 0;
    return text_of(value, begin, length) ? length : 0;
}

}  // namespace

void RecycledText::assign(Json::Value& member, const char* text, std::size_t length)
{
    const char* held = nullptr;
    std::size_t held_length = 0;
    const bool holds_ours = text_of(member, held, held_length) && held == given_;
    if (holds_ours && held_length == length) {
        // The member's bytes were allocated by jsoncpp for the text this
        // object gave it; a copy of the document has bytes of its own.
        std::memcpy(const_cast<char*>(held), text, length);
        return;
    }

    Json::Value* spare = nullptr;
    for (Json::Value& candidate : spares_) {
        const char* begin = nullptr;
        std::size_t candidate_length = 0;
        if (text_of(candidate, begin, candidate_length) && candidate_length == length) {
            std::memcpy(const_cast<char*>(begin), text, length);
            spare = &candidate;
            break;
        }
    }
    Json::Value fresh;
    if (spare == nullptr) {
        fresh = Json::Value(text, text + length);
        spare = &fresh;
    }
    member.swapPayload(*spare);
    text_of(member, given_, held_length);

    // What the member held is kept as a spare if it is a text this object
    // made; anything else (a first build's null, a value put there from
    // outside) is released as jsoncpp would release it.
    if (!holds_ours)
        *spare = Json::Value();
    else if (spare == &fresh)
        keep(fresh);
}

void RecycledText::keep(Json::Value& text)
{
    // Into a free place, else over a spare of the same length or of a length
    // another spare has too, else over each place in turn.
    const std::size_t length = length_of(text);
    Json::Value* place = nullptr;
    for (std::size_t i = 0; i < kSpares && place == nullptr; ++i) {
        const std::size_t at = length_of(spares_[i]);
        if (at == 0 || at == length)
            place = &spares_[i];
        for (std::size_t j = i + 1; j < kSpares && place == nullptr; ++j)
            if (length_of(spares_[j]) == at)
                place = &spares_[j];
    }
    if (place == nullptr) {
        place = &spares_[next_replaced_];
        next_replaced_ = (next_replaced_ + 1) % kSpares;
    }
    place->swapPayload(text);
}

}  // namespace xk83t
