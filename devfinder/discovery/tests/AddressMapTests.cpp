#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "AddressMap.h"

namespace {

std::vector<std::string> WalkOrder(const AddressMap<std::string>& map)
{
    std::vector<std::string> order;
    map.Walk([&order](Ipv4Address, const std::string& value) {
        order.push_back(value);
        return true;
    });
    return order;
}

TEST(AddressMap, BucketIsAddressShiftedByFourModuloSeventeen)
{
    EXPECT_EQ(AddressMap<int>::BucketOf(0), 0u);
    EXPECT_EQ(AddressMap<int>::BucketOf(17 << 4), 0u);
    EXPECT_EQ(AddressMap<int>::BucketOf(15), 0u);
    EXPECT_EQ(AddressMap<int>::BucketOf(16), 1u);
    // 10.77.1.21 reads as 0x15014D0A: (0x15014D0A >> 4) % 17 = 3
    EXPECT_EQ(AddressMap<int>::BucketOf(AddressFromBytes(10, 77, 1, 21)), 3u);
}

TEST(AddressMap, WalkGoesByBucketThenNewestFirstWithinAChain)
{
    AddressMap<std::string> map;
    map.Set(16 * 3, "bucket3");
    map.Set(16 * 1, "bucket1-old");
    map.Set(16 * 18, "bucket1-new");  // 18 % 17 == 1
    map.Set(16 * 0, "bucket0");
    EXPECT_EQ(WalkOrder(map), (std::vector<std::string>{"bucket0", "bucket1-new", "bucket1-old", "bucket3"}));
}

TEST(AddressMap, LaterValueReplacesInPlace)
{
    AddressMap<std::string> map;
    map.Set(16 * 1, "first");
    map.Set(16 * 18, "second");
    map.Set(16 * 1, "first-again");
    EXPECT_EQ(map.Size(), 2u);
    ASSERT_NE(map.Find(16 * 1), nullptr);
    EXPECT_EQ(*map.Find(16 * 1), "first-again");
    EXPECT_EQ(WalkOrder(map), (std::vector<std::string>{"second", "first-again"}));
    EXPECT_EQ(map.Find(16 * 35), nullptr);
    map.Clear();
    EXPECT_EQ(map.Size(), 0u);
    EXPECT_TRUE(WalkOrder(map).empty());
}

}  // namespace
