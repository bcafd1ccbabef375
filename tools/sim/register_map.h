#pragma once

// The XK83T's Modbus register map as the device serves it: two areas of
// holding registers, measurements and states. Anything outside them is
// answered with exception 02.

#include <array>
#include <cstdint>

namespace xk83t_sim {

struct RegisterArea {
    int first;
    int count;
    bool contains(int reg) const { return reg >= first && reg < first + count; }
};

constexpr RegisterArea kMeasurementArea{0, 1184};
constexpr RegisterArea kStateArea{4096, 103};
constexpr std::array<RegisterArea, 2> kAreas{kMeasurementArea, kStateArea};

inline bool in_map(int reg)
{
    return kMeasurementArea.contains(reg) || kStateArea.contains(reg);
}

// Register numbers of the map's fields.
namespace reg {
constexpr int kHwCode = 0;
constexpr int kSwVersion = 1;
constexpr int kSerial1 = 2;
constexpr int kSerial2 = 3;
constexpr int kLineA = 4;  // 14 registers, seven two-register values
constexpr int kLineB = 18;
constexpr int kFeederGroups = 32;  // 36 registers each, from kFirstFeederGroup
constexpr int kFirstFeederGroup = 32;
constexpr int kFeederGroupSize = 36;
constexpr int kSysAlarm = 4096;
constexpr int kLineASwitch = 4097;
constexpr int kLineASpd = 4098;
constexpr int kLineBSwitch = 4099;
constexpr int kLineBSpd = 4100;
constexpr int kSwitchA1 = 4101;   // A1..A24
constexpr int kSwitchB1 = 4125;   // B1..B24
constexpr int kSwitchA25 = 4149;  // A25..A48
constexpr int kSwitchB25 = 4173;  // B25..B48
constexpr int kTemperature = 4197;
constexpr int kHumidity = 4198;
}  // namespace reg

// Offsets of the two-register values inside an incoming-line block.
enum LineField { kLineVoltage = 0, kLineCurrent, kLinePower, kLineEnergy, kLinePosIns, kLineNegIns, kLineLoad };
// Quantities of a feeder group; each holds three two-register values.
enum FeederField { kFeederVoltage = 0, kFeederCurrent, kFeederInsulation, kFeederPower, kFeederEnergy, kFeederLoad };

constexpr int line_register(int line_block, LineField field)
{
    return line_block + 2 * static_cast<int>(field);
}

// Side 0 is A, 1 is B; number 1..48. Groups alternate between the sides in
// runs of four (twelve feeders).
struct FeederPosition {
    int group;
    int slot;  // 0..2 inside the group
};

constexpr FeederPosition feeder_position(int side, int number)
{
    const int index = number - 1;          // 0..47
    const int run = index / 12;            // 0..3
    const int in_run = index % 12;         // 0..11
    const int q = 2 * run + side;          // run of four groups
    return {4 * q + in_run / 3, in_run % 3};
}

constexpr int feeder_register(int side, int number, FeederField field)
{
    const FeederPosition p = feeder_position(side, number);
    return reg::kFirstFeederGroup + reg::kFeederGroupSize * p.group + 6 * static_cast<int>(field) + 2 * p.slot;
}

constexpr int switch_register(int side, int number)
{
    if (number <= 24)
        return (side == 0 ? reg::kSwitchA1 : reg::kSwitchB1) + number - 1;
    return (side == 0 ? reg::kSwitchA25 : reg::kSwitchB25) + number - 25;
}

static_assert(feeder_register(0, 1, kFeederVoltage) == 32, "A01 starts the first group");
static_assert(feeder_register(1, 1, kFeederVoltage) == 176, "B01 starts group 4");
static_assert(feeder_register(0, 13, kFeederVoltage) == 320, "A13 starts group 8");
static_assert(feeder_register(1, 48, kFeederLoad) == 1148 + 30 + 4, "B48 is the last feeder");

// Values of both areas, indexed by register number.
class RegisterImage {
public:
    std::uint16_t get(int reg) const { return *slot(reg); }
    void put(int reg, std::uint16_t value) { *slot(reg) = value; }
    void put_pair(int reg, std::uint32_t value)
    {
        put(reg, static_cast<std::uint16_t>(value >> 16));
        put(reg + 1, static_cast<std::uint16_t>(value & 0xFFFF));
    }
    const std::uint16_t* measurements() const { return measurements_.data(); }
    const std::uint16_t* states() const { return states_.data(); }

private:
    const std::uint16_t* slot(int reg) const
    {
        return kStateArea.contains(reg) ? &states_[reg - kStateArea.first] : &measurements_.at(reg);
    }
    std::uint16_t* slot(int reg)
    {
        return kStateArea.contains(reg) ? &states_[reg - kStateArea.first] : &measurements_.at(reg);
    }

    std::array<std::uint16_t, kMeasurementArea.count> measurements_{};
    std::array<std::uint16_t, kStateArea.count> states_{};
};

}  // namespace xk83t_sim
