#pragma once

// The XK83T data record: the device's registers exactly as the Modbus master
// delivers them (native 16-bit words, no scaling), the device id and the
// cycle's time stamp. The host stores and restores it as opaque bytes, so the
// layout below is a file format.

#include <cstddef>
#include <cstdint>
#include <cstring>

// A 32-bit quantity in two registers, high-order register first.
struct __attribute__((packed)) XK83T_Reg2_t {
    std::uint16_t hi;
    std::uint16_t lo;
};

struct __attribute__((packed)) XK83T_Inline_t {
    XK83T_Reg2_t voltage;             // /100
    XK83T_Reg2_t current;             // /100
    XK83T_Reg2_t active_power;        // signed, /1000
    XK83T_Reg2_t active_energy;       // /10
    XK83T_Reg2_t pos_insulation_res;  // /100
    XK83T_Reg2_t neg_insulation_res;  // /100
    XK83T_Reg2_t load_ratio;          // /100
};

// Three feeders, grouped by quantity: element j is the group's feeder j + 1.
struct __attribute__((packed)) XK83T_Feeder_t {
    XK83T_Reg2_t voltage[3];         // /100
    XK83T_Reg2_t current[3];         // /100
    XK83T_Reg2_t insulation_res[3];  // signed, /100
    XK83T_Reg2_t active_power[3];    // signed, /1000
    XK83T_Reg2_t active_energy[3];   // /10
    XK83T_Reg2_t load_ratio[3];      // /100
};

struct __attribute__((packed)) XK83T_Stamp_t {
    std::uint16_t year;
    std::uint8_t month;
    std::uint8_t day;
    std::uint8_t hour;
    std::uint8_t minute;
    std::uint8_t second;
};

struct __attribute__((packed)) XK83T_Data_t {
    std::uint32_t data_id;
    std::uint16_t hw_code;      // register 0
    std::uint16_t sw_version;   // register 1
    std::uint16_t serial_no_1;  // register 2
    std::uint16_t serial_no_2;  // register 3
    XK83T_Inline_t inline_a;    // registers 4..17
    XK83T_Inline_t inline_b;    // registers 18..31
    XK83T_Feeder_t feeder[32];  // registers 32..1183
    std::uint16_t sys_alarm;    // register 4096
    std::uint16_t inline_a_switch_alarm;
    std::uint16_t inline_a_spd_alarm;
    std::uint16_t inline_b_switch_alarm;
    std::uint16_t inline_b_spd_alarm;
    std::uint16_t a_switch_alarm_1_24[24];   // registers 4101..4124
    std::uint16_t b_switch_alarm_1_24[24];   // registers 4125..4148
    std::uint16_t a_switch_alarm_25_48[24];  // registers 4149..4172
    std::uint16_t b_switch_alarm_25_48[24];  // registers 4173..4196
    std::uint16_t temperature;               // register 4197, /10
    std::uint16_t humidity;                  // register 4198, /10
    XK83T_Stamp_t update_time;
};

static_assert(sizeof(XK83T_Reg2_t) == 4, "two-register value");
static_assert(sizeof(XK83T_Inline_t) == 28, "incoming line block");
static_assert(sizeof(XK83T_Feeder_t) == 72, "feeder group block");
static_assert(sizeof(XK83T_Stamp_t) == 7, "time stamp");
static_assert(sizeof(XK83T_Data_t) == 2585, "record size is part of the host interface");

static_assert(offsetof(XK83T_Inline_t, voltage) == 0, "layout");
static_assert(offsetof(XK83T_Inline_t, current) == 4, "layout");
static_assert(offsetof(XK83T_Inline_t, active_power) == 8, "layout");
static_assert(offsetof(XK83T_Inline_t, active_energy) == 12, "layout");
static_assert(offsetof(XK83T_Inline_t, pos_insulation_res) == 16, "layout");
static_assert(offsetof(XK83T_Inline_t, neg_insulation_res) == 20, "layout");
static_assert(offsetof(XK83T_Inline_t, load_ratio) == 24, "layout");

static_assert(offsetof(XK83T_Feeder_t, voltage) == 0, "layout");
static_assert(offsetof(XK83T_Feeder_t, current) == 12, "layout");
static_assert(offsetof(XK83T_Feeder_t, insulation_res) == 24, "layout");
static_assert(offsetof(XK83T_Feeder_t, active_power) == 36, "layout");
static_assert(offsetof(XK83T_Feeder_t, active_energy) == 48, "layout");
static_assert(offsetof(XK83T_Feeder_t, load_ratio) == 60, "layout");

static_assert(offsetof(XK83T_Stamp_t, month) == 2, "layout");
static_assert(offsetof(XK83T_Stamp_t, second) == 6, "layout");

static_assert(offsetof(XK83T_Data_t, data_id) == 0, "layout");
static_assert(offsetof(XK83T_Data_t, hw_code) == 4, "layout");
static_assert(offsetof(XK83T_Data_t, sw_version) == 6, "layout");
static_assert(offsetof(XK83T_Data_t, serial_no_1) == 8, "layout");
static_assert(offsetof(XK83T_Data_t, serial_no_2) == 10, "layout");
static_assert(offsetof(XK83T_Data_t, inline_a) == 12, "layout");
static_assert(offsetof(XK83T_Data_t, inline_b) == 40, "layout");
static_assert(offsetof(XK83T_Data_t, feeder) == 68, "layout");
static_assert(offsetof(XK83T_Data_t, sys_alarm) == 2372, "layout");
static_assert(offsetof(XK83T_Data_t, inline_a_switch_alarm) == 2374, "layout");
static_assert(offsetof(XK83T_Data_t, inline_a_spd_alarm) == 2376, "layout");
static_assert(offsetof(XK83T_Data_t, inline_b_switch_alarm) == 2378, "layout");
static_assert(offsetof(XK83T_Data_t, inline_b_spd_alarm) == 2380, "layout");
static_assert(offsetof(XK83T_Data_t, a_switch_alarm_1_24) == 2382, "layout");
static_assert(offsetof(XK83T_Data_t, b_switch_alarm_1_24) == 2430, "layout");
static_assert(offsetof(XK83T_Data_t, a_switch_alarm_25_48) == 2478, "layout");
static_assert(offsetof(XK83T_Data_t, b_switch_alarm_25_48) == 2526, "layout");
static_assert(offsetof(XK83T_Data_t, temperature) == 2574, "layout");
static_assert(offsetof(XK83T_Data_t, humidity) == 2576, "layout");
static_assert(offsetof(XK83T_Data_t, update_time) == 2578, "layout");

namespace xk83t {

constexpr int kRecordTypeId = 5156;
constexpr std::size_t kRecordSize = sizeof(XK83T_Data_t);

// Record fields are read by copying bytes, never through a pointer into the
// packed record: on ARM an unaligned 16- or 32-bit access may fault.
inline std::uint16_t read_register(const void* at)
{
    std::uint16_t word;
    std::memcpy(&word, at, sizeof word);
    return word;
}

inline std::uint32_t read_u32_pair(const void* at)
{
    const auto* bytes = static_cast<const unsigned char*>(at);
    return (std::uint32_t{read_register(bytes)} << 16) | read_register(bytes + 2);
}

inline std::int32_t read_s32_pair(const void* at)
{
    const std::uint32_t raw = read_u32_pair(at);
    std::int32_t value;
    std::memcpy(&value, &raw, sizeof value);
    return value;
}

// Display text of a 16-bit alarm state.
inline const char* status_text(std::uint16_t code)
{
    switch (code) {
    case 0: return "正常";
    case 1: return "告警";
    case 2: return "未启用";
    default: return "无效值";
    }
}

}  // namespace xk83t
