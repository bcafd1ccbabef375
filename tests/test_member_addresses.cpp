// The compact table of member addresses gives back exactly what it was
// given, near or far, forwards or backwards.

#include <display/member_addresses.h>

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(MemberAddresses, GivesBackEveryAddressInOrder)
{
    // 40 000 values span well over 16 bits of steps in either direction.
    std::vector<Json::Value> values(40000);
    const std::size_t picks[] = {5, 6, 7, 3, 0, 39999, 39998, 20000, 20001, 12, 30000, 1, 1};

    xk83t::MemberAddresses table;
    for (int round = 0; round < 2; ++round) {  // a cleared table starts afresh
        table.clear(std::size(picks));
        EXPECT_TRUE(table.empty());
        for (std::size_t pick : picks)
            table.add(values[pick]);
        EXPECT_FALSE(table.empty());

        xk83t::MemberAddresses::Reader reader(table);
        for (std::size_t pick : picks)
            EXPECT_EQ(&reader.next(), &values[pick]) << pick;
    }
}

}  // namespace
