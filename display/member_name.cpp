#include "member_name.h"

#include "display_tables.h"

#include <cstdio>

namespace xk83t {

std::string member_name(const char* format, const char* prefix, const char* label)
{
    char name[128] = {};
    std::snprintf(name, sizeof name, format, prefix, label);
    return name;
}

std::string feeder_label(int group, int element)
{
    char label[16] = {};
    std::snprintf(label, sizeof label, "%c%02d", feeder_side(group), feeder_number(group, element));
    return label;
}

}  // namespace xk83t
