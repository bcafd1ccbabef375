#include <acquisition/record.h>
#include <acquisition/register_plan.h>

#include <gtest/gtest.h>

#include <cstring>

namespace {

std::array<unsigned char, 4> pair_bytes(std::uint16_t hi, std::uint16_t lo)
{
    std::array<unsigned char, 4> bytes;
    std::memcpy(bytes.data(), &hi, 2);
    std::memcpy(bytes.data() + 2, &lo, 2);
    return bytes;
}

TEST(Record, TwoRegisterValuesPutTheFirstRegisterHigh)
{
    const auto bytes = pair_bytes(0x0001, 0x86A0);
    EXPECT_EQ(xk83t::read_u32_pair(bytes.data()), 100000u);
    EXPECT_DOUBLE_EQ(xk83t::read_u32_pair(bytes.data()) / 100.0, 1000.0);
}

TEST(Record, SignedAndUnsignedReadingsOfTheSameRegisters)
{
    const auto bytes = pair_bytes(0xFFFF, 0xFC18);
    EXPECT_EQ(xk83t::read_s32_pair(bytes.data()), -1000);
    EXPECT_EQ(xk83t::read_u32_pair(bytes.data()), 4294966296u);
}

TEST(Record, StatusTexts)
{
    const std::pair<std::uint16_t, const char*> cases[] = {
        {0, "正常"}, {1, "告警"}, {2, "未启用"}, {3, "无效值"}, {65535, "无效值"}};
    for (const auto& [code, text] : cases)
        EXPECT_STREQ(xk83t::status_text(code), text) << code;
}

TEST(Record, NativeWordsAndStampBytes)
{
    XK83T_Data_t record{};
    record.data_id = 5;
    record.update_time.year = 2024;
    const auto* bytes = reinterpret_cast<const unsigned char*>(&record);
    EXPECT_EQ(bytes[0], 0x05);
    EXPECT_EQ(bytes[1], 0x00);
    EXPECT_EQ(bytes[2578], 0xE8);
    EXPECT_EQ(bytes[2579], 0x07);
}

TEST(RegisterPlan, CoversBothAreasInOrderWithoutGaps)
{
    const auto& plan = xk83t::kRegisterPlan;
    ASSERT_EQ(plan.size(), 41u);
    int registers = 0;
    for (std::size_t i = 1; i < plan.size(); ++i) {
        if (plan[i].start == 4096)
            EXPECT_EQ(plan[i - 1].start + plan[i - 1].count, 1184);
        else
            EXPECT_EQ(plan[i].start, plan[i - 1].start + plan[i - 1].count) << i;
    }
    for (const auto& block : plan) {
        registers += block.count;
        EXPECT_LE(block.count, 36);
        // Every block lands inside the record and before the time stamp.
        EXPECT_LE(xk83t::record_offset(block.start) + 2 * block.count, 2578u);
    }
    EXPECT_EQ(registers, 1287);
    EXPECT_EQ(xk83t::record_offset(1183), 2370u);
    EXPECT_EQ(xk83t::record_offset(4198), 2576u);
}

}  // namespace
