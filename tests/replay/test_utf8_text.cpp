// Traces are UTF-8 even when the plug-in passes other bytes.

#include <utf8_text.h>

#include <gtest/gtest.h>

namespace {

using xk83t_replay::valid_utf8;

TEST(ValidUtf8, KeepsWellFormedTextAndReplacesEveryStrayByte)
{
    const std::string fffd = "\xEF\xBF\xBD";
    const struct {
        std::string in, out;
    } cases[] = {
        {"rvSize is 0", "rvSize is 0"},
        {"系统总告警状态 \xF0\x9F\x98\x80", "系统总告警状态 \xF0\x9F\x98\x80"},
        {"\xB5\xE7", fffd + fffd},                  // GBK 电
        {"A\xE7\x94", "A" + fffd + fffd},           // cut off mid-character
        {"\xC0\xAF", fffd + fffd},                  // overlong '/'
        {"\xED\xA0\x80", fffd + fffd + fffd},       // a surrogate
        {"\xF4\x90\x80\x80", fffd + fffd + fffd + fffd},  // above U+10FFFF
        {std::string("a\0b", 3), std::string("a\0b", 3)},
    };
    for (const auto& c : cases)
        EXPECT_EQ(valid_utf8(c.in), c.out) << c.in;
}

}  // namespace
