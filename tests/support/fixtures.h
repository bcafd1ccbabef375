#pragma once

#include "recording_host.h"

#include <acquisition/record.h>
#include <acquisition/register_plan.h>

#include <cstring>
#include <vector>

namespace xk83t_test {

// A recognisable, distinct value for every register the plan reads.
inline unsigned short register_pattern(int reg)
{
    return static_cast<unsigned short>((reg * 40503u + 0x1234u) & 0xFFFFu);
}

inline RegisterImage patterned_image(int salt = 0)
{
    RegisterImage image;
    for (const auto& block : xk83t::kRegisterPlan)
        for (int r = block.start; r < block.start + block.count; ++r)
            image.set(r, static_cast<unsigned short>(register_pattern(r) + salt));
    return image;
}

// The record a full cycle over this image must publish, time stamp aside.
inline std::vector<unsigned char> expected_record(const RegisterImage& image, std::uint32_t data_id)
{
    std::vector<unsigned char> record(xk83t::kRecordSize, 0);
    std::memcpy(record.data(), &data_id, 4);
    for (const auto& block : xk83t::kRegisterPlan)
        for (int r = block.start; r < block.start + block.count; ++r) {
            const unsigned short v = image.get(r);
            std::memcpy(record.data() + xk83t::record_offset(r), &v, 2);
        }
    return record;
}

}  // namespace xk83t_test
