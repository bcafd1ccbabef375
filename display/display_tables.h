#pragma once

// What the display document shows of each record block: member name
// formats, sources and scaling. The document builders and the display plan
// both read these tables, so a name or divisor is stated exactly once.

#include "member_value.h"

#include <acquisition/record.h>

#include <cstddef>

namespace xk83t {

// One member of a block: the name is formatted from prefix and label.
struct BlockField {
    const char* name_format;  // "%s%s…": prefix, then label
    std::size_t offset;       // in the block (feeders: of element 0)
    Reading reading;
    double divisor;
};

// One member with a fixed name.
struct FixedMember {
    const char* name;
    std::size_t offset;  // in the record
    Reading reading;
    double divisor;
};

inline constexpr BlockField kInlineFields[] = {
    {"%s%s路进线-电压", offsetof(XK83T_Inline_t, voltage), Reading::kUnsigned2, 100.0},
    {"%s%s路进线-电流", offsetof(XK83T_Inline_t, current), Reading::kUnsigned2, 100.0},
    {"%s%s路进线-有功功率", offsetof(XK83T_Inline_t, active_power), Reading::kSigned2, 1000.0},
    {"%s%s路进线-有功电能", offsetof(XK83T_Inline_t, active_energy), Reading::kUnsigned2, 10.0},
    {"%s%s路进线-正极绝缘电阻", offsetof(XK83T_Inline_t, pos_insulation_res), Reading::kUnsigned2, 100.0},
    {"%s%s路进线-负极绝缘电阻", offsetof(XK83T_Inline_t, neg_insulation_res), Reading::kUnsigned2, 100.0},
    {"%s%s路进线-电流负载比", offsetof(XK83T_Inline_t, load_ratio), Reading::kUnsigned2, 100.0},
};

// Element j of each quantity belongs to the group's feeder j + 1.
inline constexpr BlockField kFeederFields[] = {
    {"%s%s电压", offsetof(XK83T_Feeder_t, voltage), Reading::kUnsigned2, 100.0},
    {"%s%s电流", offsetof(XK83T_Feeder_t, current), Reading::kUnsigned2, 100.0},
    {"%s%s绝缘电阻", offsetof(XK83T_Feeder_t, insulation_res), Reading::kSigned2, 100.0},
    {"%s%s有功功率", offsetof(XK83T_Feeder_t, active_power), Reading::kSigned2, 1000.0},
    {"%s%s有功电能", offsetof(XK83T_Feeder_t, active_energy), Reading::kUnsigned2, 10.0},
    {"%s%s电流负载比", offsetof(XK83T_Feeder_t, load_ratio), Reading::kUnsigned2, 100.0},
};
inline constexpr int kFeederGroupCount = sizeof(XK83T_Data_t::feeder) / sizeof(XK83T_Feeder_t);
inline constexpr int kFeedersPerGroup = 3;
inline constexpr std::size_t kFeederElementSize = sizeof(XK83T_Reg2_t);

struct IncomingLine {
    const char* label;
    std::size_t offset;  // of its XK83T_Inline_t in the record
};
inline constexpr IncomingLine kIncomingLines[] = {
    {"A", offsetof(XK83T_Data_t, inline_a)},
    {"B", offsetof(XK83T_Data_t, inline_b)},
};

inline constexpr FixedMember kIdentityMembers[] = {
    {"系统硬件编码", offsetof(XK83T_Data_t, hw_code), Reading::kRegister, 1.0},
    {"系统软件版本号", offsetof(XK83T_Data_t, sw_version), Reading::kRegister, 1.0},
    {"系统序列号1", offsetof(XK83T_Data_t, serial_no_1), Reading::kRegister, 1.0},
    {"系统序列号2", offsetof(XK83T_Data_t, serial_no_2), Reading::kRegister, 1.0},
};

inline constexpr FixedMember kSystemAlarm = {
    "系统总告警状态", offsetof(XK83T_Data_t, sys_alarm), Reading::kSystemAlarm, 1.0};

// Incoming-line states; each also gets a lasting "AlertArray" entry once it
// has been seen in alarm.
inline constexpr FixedMember kLineStates[] = {
    {"A路进线开关告警状态", offsetof(XK83T_Data_t, inline_a_switch_alarm), Reading::kStatus, 1.0},
    {"A路进线防雷器告警状态", offsetof(XK83T_Data_t, inline_a_spd_alarm), Reading::kStatus, 1.0},
    {"B路进线开关告警状态", offsetof(XK83T_Data_t, inline_b_switch_alarm), Reading::kStatus, 1.0},
    {"B路进线防雷器告警状态", offsetof(XK83T_Data_t, inline_b_spd_alarm), Reading::kStatus, 1.0},
};

inline constexpr const char* kASwitchFormat = "%sA%s开关告警状态";
inline constexpr const char* kBSwitchFormat = "%sB%s开关告警状态";

// The switch arrays in record order: A1-A24, B1-B24, A25-A48, B25-B48.
struct SwitchRange {
    const char* name_format;  // prefix, then the number without leading zeros
    std::size_t offset;       // of the first status register in the record
    int first_number;
    int count;
};
inline constexpr SwitchRange kSwitchRanges[] = {
    {kASwitchFormat, offsetof(XK83T_Data_t, a_switch_alarm_1_24), 1, 24},
    {kBSwitchFormat, offsetof(XK83T_Data_t, b_switch_alarm_1_24), 1, 24},
    {kASwitchFormat, offsetof(XK83T_Data_t, a_switch_alarm_25_48), 25, 24},
    {kBSwitchFormat, offsetof(XK83T_Data_t, b_switch_alarm_25_48), 25, 24},
};

inline constexpr FixedMember kClimateMembers[] = {
    {"环境温度", offsetof(XK83T_Data_t, temperature), Reading::kClimate, 10.0},
    {"环境湿度", offsetof(XK83T_Data_t, humidity), Reading::kClimate, 10.0},
};

inline constexpr const char* kUpdateTimeName = "更新时间";
inline constexpr const char* kAlertArrayName = "AlertArray";

// Feeder groups alternate between the sides in runs of four groups (twelve
// feeders): A01-A12, B01-B12, A13-A24, …, B37-B48.
constexpr char feeder_side(int group)
{
    return (group / 4) % 2 == 0 ? 'A' : 'B';
}
constexpr int feeder_number(int group, int element)
{
    return 12 * (group / 8) + 3 * (group % 4) + element + 1;
}
static_assert(feeder_side(4) == 'B' && feeder_number(4, 0) == 1, "B01 opens group 4");
static_assert(feeder_side(27) == 'A' && feeder_number(27, 2) == 48, "A48 closes group 27");
static_assert(feeder_side(31) == 'B' && feeder_number(31, 2) == 48, "B48 closes group 31");

}  // namespace xk83t
