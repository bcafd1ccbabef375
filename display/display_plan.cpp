#include "display_plan.h"

#include "display_tables.h"
#include "lasting.h"
#include "member_name.h"

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <string>

namespace xk83t {
namespace {

std::vector<PlannedMember> make_members()
{
    std::vector<PlannedMember> members;
    const auto add_fixed = [&members](const FixedMember& m) {
        members.push_back({m.name, MemberKind::kValue, m.offset, m.reading, m.divisor});
    };

    for (const FixedMember& m : kIdentityMembers)
        add_fixed(m);

    for (const IncomingLine& line : kIncomingLines)
        for (const BlockField& f : kInlineFields)
            members.push_back({member_name(f.name_format, "", line.label), MemberKind::kValue,
                               line.offset + f.offset, f.reading, f.divisor});

    for (int group = 0; group < kFeederGroupCount; ++group) {
        const std::size_t block = offsetof(XK83T_Data_t, feeder) + group * sizeof(XK83T_Feeder_t);
        for (int element = 0; element < kFeedersPerGroup; ++element) {
            const std::string label = feeder_label(group, element);
            for (const BlockField& f : kFeederFields)
                members.push_back({member_name(f.name_format, "", label.c_str()), MemberKind::kValue,
                                   block + f.offset + element * kFeederElementSize, f.reading, f.divisor});
        }
    }

    add_fixed(kSystemAlarm);
    for (const FixedMember& m : kLineStates)
        add_fixed(m);

    for (const SwitchRange& range : kSwitchRanges)
        for (int i = 0; i < range.count; ++i) {
            const std::string number = std::to_string(range.first_number + i);
            members.push_back({member_name(range.name_format, "", number.c_str()), MemberKind::kValue,
                               range.offset + i * sizeof(std::uint16_t), Reading::kStatus, 1.0});
        }

    for (const FixedMember& m : kClimateMembers)
        add_fixed(m);

    members.push_back({kUpdateTimeName, MemberKind::kUpdateTime, offsetof(XK83T_Data_t, update_time),
                       Reading::kRegister, 1.0});
    members.push_back({kAlertArrayName, MemberKind::kAlertArray, 0, Reading::kRegister, 1.0});

    // The document keeps its members ordered by their bytes, as
    // std::string compares them.
    std::sort(members.begin(), members.end(),
              [](const PlannedMember& a, const PlannedMember& b) { return a.name < b.name; });
    members.shrink_to_fit();
    return members;
}

std::array<std::string, 4> alert_line_names()
{
    static_assert(std::size(kLineStates) == 4, "one alert entry per incoming-line state");
    return {kLineStates[0].name, kLineStates[1].name, kLineStates[2].name, kLineStates[3].name};
}

}  // namespace

const DisplayPlan& display_plan()
{
    // Never freed: documents and their copies point at these names.
    static const DisplayPlan* const plan =
        make_lasting<DisplayPlan>(make_members(), std::string(kSystemAlarm.name), alert_line_names());
    return *plan;
}

}  // namespace xk83t
