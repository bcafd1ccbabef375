// The per-group builders: each writes the members of one record block under
// names formatted from its prefix and labels. GenJsonData does not go
// through them: it writes the same members from the same tables through
// addresses found once (display_plan.h, display_slots.h).

#include "display_tables.h"
#include "member_name.h"

#include <device/xk83t.h>

#include <cstring>

namespace {

void write_switch_status(Json::Value& document, const char* format, const char* reg, const char* prefix,
                         const char* number_text)
{
    unsigned char copy[sizeof(std::uint16_t)];
    std::memcpy(copy, reg, sizeof copy);
    xk83t::assign_member(document[xk83t::member_name(format, prefix, number_text)], xk83t::Reading::kStatus,
                         1.0, copy);
}

}  // namespace

void XK83T::_xk83t_Inline(char* block, const char* prefix, int, const char* line)
{
    unsigned char copy[sizeof(XK83T_Inline_t)];
    std::memcpy(copy, block, sizeof copy);
    for (const xk83t::BlockField& f : xk83t::kInlineFields)
        xk83t::assign_member(json_[xk83t::member_name(f.name_format, prefix, line)], f.reading, f.divisor,
                             copy + f.offset);
}

void XK83T::_xk83t_Feeder(char* block, const char* prefix, int, const char* f1, const char* f2,
                          const char* f3)
{
    unsigned char copy[sizeof(XK83T_Feeder_t)];
    std::memcpy(copy, block, sizeof copy);
    const char* const labels[xk83t::kFeedersPerGroup] = {f1, f2, f3};
    for (int element = 0; element < xk83t::kFeedersPerGroup; ++element)
        for (const xk83t::BlockField& f : xk83t::kFeederFields)
            xk83t::assign_member(json_[xk83t::member_name(f.name_format, prefix, labels[element])], f.reading,
                                 f.divisor, copy + f.offset + element * xk83t::kFeederElementSize);
}

void XK83T::_xk83t_ASwitchStatus(char* reg, const char* prefix, int, const char* number_text)
{
    write_switch_status(json_, xk83t::kASwitchFormat, reg, prefix, number_text);
}

void XK83T::_xk83t_BSwitchStatus(char* reg, const char* prefix, int, const char* number_text)
{
    write_switch_status(json_, xk83t::kBSwitchFormat, reg, prefix, number_text);
}
