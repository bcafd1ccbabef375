#pragma once

// The polling cycle's register plan: 41 reads, one outstanding at a time.
// Read i is expected while the exchange state is kFirstState + i; its reply
// words are copied unchanged to the record offset of its first register.

#include <array>
#include <cstddef>

namespace xk83t {

struct BlockRead {
    int start;  // first register
    int count;  // registers
};

constexpr int kFirstState = 11;
constexpr int kFeederGroups = 32;
constexpr int kFeederGroupRegisters = 36;
constexpr std::size_t kPlanReads = 3 + kFeederGroups + 6;
constexpr int kLastState = kFirstState + static_cast<int>(kPlanReads) - 1;

// Register n of the measurement area sits at 4 + 2n, register n of the state
// area (from 4096) at 2372 + 2(n - 4096).
constexpr std::size_t record_offset(int reg)
{
    return reg >= 4096 ? 2372 + 2 * static_cast<std::size_t>(reg - 4096)
                       : 4 + 2 * static_cast<std::size_t>(reg);
}

constexpr std::array<BlockRead, kPlanReads> make_register_plan()
{
    std::array<BlockRead, kPlanReads> plan{};
    std::size_t i = 0;
    plan[i++] = {0, 4};    // identity
    plan[i++] = {4, 14};   // incoming line A
    plan[i++] = {18, 14};  // incoming line B
    for (int k = 0; k < kFeederGroups; ++k)
        plan[i++] = {32 + kFeederGroupRegisters * k, kFeederGroupRegisters};
    plan[i++] = {4096, 5};   // system and incoming-line states
    plan[i++] = {4101, 24};  // switches A1..A24
    plan[i++] = {4125, 24};  // switches B1..B24
    plan[i++] = {4149, 24};  // switches A25..A48
    plan[i++] = {4173, 24};  // switches B25..B48
    plan[i++] = {4197, 2};   // temperature, humidity
    return plan;
}

constexpr std::array<BlockRead, kPlanReads> kRegisterPlan = make_register_plan();

static_assert(record_offset(kRegisterPlan[kPlanReads - 1].start) == 2574, "plan ends at the climate block");
static_assert(record_offset(kRegisterPlan[3 + kFeederGroups - 1].start) == 2300, "last feeder group");

}  // namespace xk83t
