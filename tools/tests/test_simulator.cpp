// The simulator's plant, register map and fault plan.

#include <sim/fault_plan.h>
#include <sim/plant_model.h>
#include <sim/register_map.h>
#include <sim/sim_server.h>

#include <gtest/gtest.h>

#include <chrono>

using namespace xk83t_sim;

namespace {

std::uint32_t pair_at(const RegisterImage& image, int reg)
{
    return (std::uint32_t{image.get(reg)} << 16) | image.get(reg + 1);
}

TEST(PlantModel, A48VoltPlantWithinPlausibleRanges)
{
    PlantModel plant;
    RegisterImage image;
    plant.write(image);
    for (int side = 0; side < 2; ++side) {
        const int line = side == 0 ? reg::kLineA : reg::kLineB;
        const double volts = pair_at(image, line_register(line, kLineVoltage)) / 100.0;
        EXPECT_NEAR(volts, 53.5, 0.3);
        double feeder_amps = 0;
        for (int n = 1; n <= 48; ++n)
            feeder_amps += pair_at(image, feeder_register(side, n, kFeederCurrent)) / 100.0;
        EXPECT_NEAR(pair_at(image, line_register(line, kLineCurrent)) / 100.0, feeder_amps, 0.5);
        EXPECT_EQ(image.get(switch_register(side, 1)), 0);    // fitted: normal
        EXPECT_EQ(image.get(switch_register(side, 48)), 2);   // not fitted: not enabled
        EXPECT_EQ(pair_at(image, feeder_register(side, 48, kFeederCurrent)), 0u);
    }
    EXPECT_NEAR(image.get(reg::kTemperature) / 10.0, 25.3, 1.0);
    EXPECT_NEAR(image.get(reg::kHumidity) / 10.0, 45.0, 3.0);
    EXPECT_EQ(image.get(reg::kSysAlarm), 0);
}

TEST(PlantModel, EnergiesOnlyGrowAndValuesDrift)
{
    PlantModel plant;
    RegisterImage before, after;
    plant.write(before);
    plant.advance(3600);
    plant.write(after);
    for (int side = 0; side < 2; ++side) {
        const int line = side == 0 ? reg::kLineA : reg::kLineB;
        EXPECT_GT(pair_at(after, line_register(line, kLineEnergy)), pair_at(before, line_register(line, kLineEnergy)));
        EXPECT_GT(pair_at(after, feeder_register(side, 1, kFeederEnergy)),
                  pair_at(before, feeder_register(side, 1, kFeederEnergy)));
        // Feeders that are not fitted draw nothing.
        EXPECT_EQ(pair_at(after, feeder_register(side, 48, kFeederEnergy)),
                  pair_at(before, feeder_register(side, 48, kFeederEnergy)));
    }
    EXPECT_NE(pair_at(after, feeder_register(0, 1, kFeederCurrent)), pair_at(before, feeder_register(0, 1, kFeederCurrent)));
}

TEST(PlantModel, PinnedRegistersAndAlarms)
{
    PlantModel plant;
    plant.pin(reg::kTemperature, 999);
    plant.set_alarms(true);
    RegisterImage image;
    plant.write(image);
    EXPECT_EQ(image.get(reg::kTemperature), 999);
    EXPECT_EQ(image.get(reg::kSysAlarm), 1);
    EXPECT_EQ(image.get(reg::kLineASwitch), 1);
    EXPECT_EQ(image.get(reg::kLineBSpd), 1);
    EXPECT_EQ(image.get(switch_register(0, 7)), 1);
    EXPECT_EQ(image.get(switch_register(1, 12)), 1);
    plant.unpin(reg::kTemperature);
    plant.set_alarms(false);
    plant.write(image);
    EXPECT_NE(image.get(reg::kTemperature), 999);
    EXPECT_EQ(image.get(switch_register(0, 7)), 0);
}

TEST(RegisterMap, TwoAreasAndTheFeederOrder)
{
    EXPECT_TRUE(in_map(0));
    EXPECT_TRUE(in_map(1183));
    EXPECT_FALSE(in_map(1184));
    EXPECT_FALSE(in_map(4095));
    EXPECT_TRUE(in_map(4096));
    EXPECT_TRUE(in_map(4198));
    EXPECT_FALSE(in_map(4199));
    // Groups alternate between the sides in runs of four.
    EXPECT_EQ(feeder_register(0, 12, kFeederVoltage), 32 + 36 * 3 + 4);
    EXPECT_EQ(feeder_register(1, 13, kFeederVoltage), 32 + 36 * 12);
    EXPECT_EQ(feeder_register(0, 25, kFeederCurrent), 32 + 36 * 16 + 6);
    EXPECT_EQ(switch_register(0, 25), reg::kSwitchA25);
    EXPECT_EQ(switch_register(1, 24), reg::kSwitchB1 + 23);
}

TEST(FaultPlan, EachFaultOnItsRequests)
{
    using Clock = FaultPlan::Clock;
    const Clock::time_point t0 = Clock::now();
    FaultSettings s;
    s.drop_every = 5;
    s.corrupt_every = 3;
    s.delay_ms = 100;
    s.delay_every = 4;
    FaultPlan plan(s);
    const FaultAction expected[] = {FaultAction::Serve, FaultAction::Serve, FaultAction::Corrupt, FaultAction::Delay,
                                    FaultAction::Drop,  FaultAction::Corrupt, FaultAction::Serve, FaultAction::Delay,
                                    FaultAction::Corrupt, FaultAction::Drop, FaultAction::Serve, FaultAction::Corrupt};
    for (long n = 1; n <= 12; ++n)
        EXPECT_EQ(plan.decide(n, t0), expected[n - 1]) << n;
}

TEST(FaultPlan, StallLastsItsTimeThenNeverComesBack)
{
    using Clock = FaultPlan::Clock;
    const Clock::time_point t0 = Clock::now();
    FaultSettings s;
    s.stall_after = 2;
    s.stall_ms = 500;
    FaultPlan plan(s);
    EXPECT_EQ(plan.decide(1, t0), FaultAction::Serve);
    EXPECT_EQ(plan.decide(2, t0), FaultAction::Serve);
    EXPECT_EQ(plan.decide(3, t0 + std::chrono::milliseconds(10)), FaultAction::Stall);
    EXPECT_EQ(plan.decide(4, t0 + std::chrono::milliseconds(509)), FaultAction::Stall);
    EXPECT_EQ(plan.decide(5, t0 + std::chrono::milliseconds(510)), FaultAction::Serve);
    EXPECT_EQ(plan.decide(6, t0 + std::chrono::milliseconds(10)), FaultAction::Serve);

    FaultSettings forever;
    forever.stall_after = 1;
    FaultPlan stuck(forever);
    stuck.decide(1, t0);
    EXPECT_EQ(stuck.decide(2, t0 + std::chrono::hours(1)), FaultAction::Stall);
}

TEST(Pattern, EveryReplyDiffersFromTheOneBefore)
{
    for (int reg : {0, 32, 1183, 4096, 4198})
        for (long n = 1; n < 2000; ++n)
            ASSERT_NE(pattern_word(reg, n), pattern_word(reg, n + 1)) << reg << " " << n;
    EXPECT_NE(pattern_word(32, 7), pattern_word(68, 7));
}

}  // namespace
