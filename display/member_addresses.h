#pragma once

// The addresses of a document's planned members, in plan order, kept in
// about two bytes each: an address is stored as its distance from the one
// before in units of a value's alignment when that fits in 16 bits (the
// members of a document are allocated one after another, close together),
// and in full otherwise.

#include <json/value.h>

#include <cstddef>
#include <cstdint>
#include <limits>
#include <vector>

namespace xk83t {

class MemberAddresses {
public:
    // Forgets every address and makes room for `count` of them.
    void clear(std::size_t count);
    void add(Json::Value& member);
    bool empty() const { return steps_.empty(); }

    // Gives the addresses back in the order they were added.
    class Reader {
    public:
        explicit Reader(const MemberAddresses& table) : step_(table.steps_.data()), far_(table.far_.data()) {}

        Json::Value& next()
        {
            const std::int16_t step = *step_++;
            if (step == kFar)
                at_ = reinterpret_cast<std::uintptr_t>(*far_++);
            else
                at_ += static_cast<std::uintptr_t>(static_cast<std::intptr_t>(step) * kUnit);
            return *reinterpret_cast<Json::Value*>(at_);
        }

    private:
        const std::int16_t* step_;
        Json::Value* const* far_;
        std::uintptr_t at_ = 0;
    };

private:
    static constexpr std::int16_t kFar = std::numeric_limits<std::int16_t>::min();
    static constexpr std::intptr_t kUnit = alignof(Json::Value);

    std::vector<std::int16_t> steps_;
    std::vector<Json::Value*> far_;
    std::uintptr_t last_ = 0;
};

}  // namespace xk83t
