// What differs between the 32-bit ARM target and the amd64 development
// machine, checked on whichever the suite was built for (the armhf build
// runs it under qemu-arm).

#include "support/recording_host.h"

#include <device/xk83t.h>

#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <cstddef>
#include <cstring>
#include <ctime>
#include <iostream>

using namespace xk83t_test;

namespace {

TEST(TargetAbi, DataModelIsTheOneTheHostIsBuiltFor)
{
    std::cout << "pointer " << sizeof(void*) << ", long " << sizeof(long) << ", time_t "
              << sizeof(std::time_t) << ", plain char " << (CHAR_MIN == 0 ? "unsigned" : "signed")
              << std::endl;
#if defined(__arm__)
    // Debian 12 armhf: ILP32 with a 32-bit time_t and unsigned plain char.
    EXPECT_EQ(sizeof(void*), 4u);
    EXPECT_EQ(sizeof(long), 4u);
    EXPECT_EQ(sizeof(std::time_t), 4u);
    EXPECT_EQ(CHAR_MIN, 0);
#elif defined(__x86_64__)
    EXPECT_EQ(sizeof(void*), 8u);
    EXPECT_EQ(sizeof(long), 8u);
    EXPECT_EQ(sizeof(std::time_t), 8u);
    EXPECT_LT(CHAR_MIN, 0);
#else
    GTEST_SKIP() << "no expectations for this machine";
#endif
}

TEST(TargetAbi, RecordIsTheSameImageOnEveryTarget)
{
    std::cout << "sizeof(XK83T_Data_t) " << sizeof(XK83T_Data_t) << std::endl;
    EXPECT_EQ(sizeof(XK83T_Data_t), 2585u);
    // Packed to byte alignment: a record may start at any address, so no
    // reader may assume its 16- and 32-bit fields are aligned.
    EXPECT_EQ(alignof(XK83T_Data_t), 1u);
    EXPECT_EQ(alignof(XK83T_Inline_t), 1u);
    EXPECT_EQ(alignof(XK83T_Feeder_t), 1u);
}

TEST(TargetAbi, ReadersTakeFieldsAtAnyAddress)
{
    // A record copy placed one byte off any natural alignment.
    alignas(8) std::array<unsigned char, 1 + sizeof(XK83T_Data_t)> storage{};
    unsigned char* record = storage.data() + 1;
    const std::size_t power = offsetof(XK83T_Data_t, inline_a) + offsetof(XK83T_Inline_t, active_power);
    const std::uint16_t words[2] = {0xFFFF, 0xFC18};
    std::memcpy(record + power, words, sizeof words);
    const std::uint16_t humidity = 605;
    std::memcpy(record + offsetof(XK83T_Data_t, humidity), &humidity, 2);

    EXPECT_EQ(xk83t::read_s32_pair(record + power), -1000);
    EXPECT_EQ(xk83t::read_u32_pair(record + power), 4294966296u);
    EXPECT_EQ(xk83t::read_register(record + offsetof(XK83T_Data_t, humidity)), 605);
}

// The display document handed out by address answers with a pointer of the
// running machine's size: 4 bytes on the ARM target.
TEST(TargetAbi, DocumentByAddressIsOnePointerWide)
{
    RecordingHost host;
    XK83T device;
    std::array<unsigned char, sizeof(void*)> out{};
    int out_len = -1;

    EXPECT_EQ(device.DeviceIoControl(803, nullptr, 0, out.data(), static_cast<int>(out.size()), out_len), 0);
    EXPECT_EQ(out_len, static_cast<int>(sizeof(void*)));
#if defined(__arm__)
    EXPECT_EQ(out_len, 4);
#endif
    const Json::Value* document = nullptr;
    std::memcpy(&document, out.data(), sizeof document);
    EXPECT_EQ(document, &device.json_);

    out_len = -1;
    EXPECT_EQ(device.DeviceIoControl(803, nullptr, 0, out.data(), static_cast<int>(out.size()) - 1, out_len), -1);
    EXPECT_EQ(out_len, static_cast<int>(sizeof(void*)));
}

}  // namespace
