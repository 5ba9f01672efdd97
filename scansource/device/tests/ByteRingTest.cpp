#include "ByteRing.h"

#include <gtest/gtest.h>

#include <numeric>
#include <vector>

TEST(ByteRing, KeepsOneSlotEmpty)
{
    ByteRing<8> ring;
    std::vector<uint8_t> bytes(8, 0xAB);
    EXPECT_EQ(ring.capacity, 7u);
    EXPECT_FALSE(ring.put(bytes.data(), 8));
    EXPECT_TRUE(ring.empty());
    EXPECT_TRUE(ring.put(bytes.data(), 7));
    EXPECT_EQ(ring.used(), 7u);
    EXPECT_EQ(ring.freeSpace(), 0u);
    EXPECT_FALSE(ring.put(bytes.data(), 1));
}

TEST(ByteRing, FailedOperationsChangeNothing)
{
    ByteRing<8> ring;
    uint8_t in[3] = {1, 2, 3};
    uint8_t out[4] = {9, 9, 9, 9};
    ASSERT_TRUE(ring.put(in, 3));
    EXPECT_FALSE(ring.peek(out, 4));
    EXPECT_EQ(out[0], 9);
    EXPECT_FALSE(ring.skip(4));
    EXPECT_EQ(ring.used(), 3u);
    ASSERT_TRUE(ring.peek(out, 3));
    EXPECT_EQ(ring.used(), 3u);
    EXPECT_EQ(out[2], 3);
}

TEST(ByteRing, ManyLapsKeepTheByteOrder)
{
    ByteRing<16> ring;
    std::vector<uint8_t> source(1000);
    std::iota(source.begin(), source.end(), 0);
    std::vector<uint8_t> sink;
    size_t written = 0;
    while (sink.size() < source.size()) {
        uint32_t n = std::min<uint32_t>(ring.freeSpace(), 5);
        n = std::min<uint32_t>(n, static_cast<uint32_t>(source.size() - written));
        ASSERT_TRUE(ring.put(source.data() + written, n));
        written += n;
        uint8_t out[3];
        uint32_t m = std::min<uint32_t>(ring.used(), 3);
        ASSERT_TRUE(ring.peek(out, m));
        ASSERT_TRUE(ring.skip(m));
        sink.insert(sink.end(), out, out + m);
    }
    EXPECT_EQ(sink, source);
}
