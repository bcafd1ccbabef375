#include "display_plan.h"

#include "display_tables.h"
#include "member_name.h"

#include <cstdint>
#include <string>

namespace xk83t {
namespace {

std::vector<PlannedMember> make_display_plan()
{
    std::vector<PlannedMember> plan;
    const auto add_fixed = [&plan](const FixedMember& m) {
        plan.push_back({m.name, m.offset, m.reading, m.divisor});
    };

    for (const FixedMember& m : kIdentityMembers)
        add_fixed(m);

    for (const IncomingLine& line : kIncomingLines)
        for (const BlockField& f : kInlineFields)
            plan.push_back({member_name(f.name_format, "", line.label), line.offset + f.offset, f.reading,
                            f.divisor});

    for (int group = 0; group < kFeederGroupCount; ++group) {
        const std::size_t block = offsetof(XK83T_Data_t, feeder) + group * sizeof(XK83T_Feeder_t);
        for (int element = 0; element < kFeedersPerGroup; ++element) {
            const std::string label = feeder_label(group, element);
            for (const BlockField& f : kFeederFields)
                plan.push_back({member_name(f.name_format, "", label.c_str()),
                                block + f.offset + element * kFeederElementSize, f.reading, f.divisor});
        }
    }

    add_fixed(kSystemAlarm);
    for (const FixedMember& m : kLineStates)
        add_fixed(m);

    for (const SwitchRange& range : kSwitchRanges)
        for (int i = 0; i < range.count; ++i) {
            const std::string number = std::to_string(range.first_number + i);
            plan.push_back({member_name(range.name_format, "", number.c_str()),
                            range.offset + i * sizeof(std::uint16_t), Reading::kStatus, 1.0});
        }

    for (const FixedMember& m : kClimateMembers)
        add_fixed(m);
    return plan;
}

}  // namespace

const std::vector<PlannedMember>& display_plan()
{
    static const std::vector<PlannedMember> plan = make_display_plan();
    return plan;
}

}  // namespace xk83t
