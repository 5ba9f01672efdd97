#include "PngWriter.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

std::uint32_t BigEndianAt(const std::vector<std::uint8_t>& bytes, std::size_t at)
{
    return (std::uint32_t{bytes[at]} << 24) | (bytes[at + 1] << 16) | (bytes[at + 2] << 8) | bytes[at + 3];
}

TEST(PngWriter, HeaderChunkDescribesTheImage)
{
    const std::vector<std::uint8_t> rgb(3 * 2 * 3, 0x80);
    const auto png = wintest::EncodePng(3, 2, rgb);
    ASSERT_GT(png.size(), 33u);
    EXPECT_EQ(0x89, png[0]);
    EXPECT_EQ(13u, BigEndianAt(png, 8));
    EXPECT_EQ(0, std::memcmp(&png[12], "IHDR", 4));
    EXPECT_EQ(3u, BigEndianAt(png, 16));
    EXPECT_EQ(2u, BigEndianAt(png, 20));
    // CRC-32 of "IHDR" and this body, as zlib computes it.
    EXPECT_EQ(0x1216F14Du, BigEndianAt(png, 29));
}

TEST(PngWriter, LargeImagesSpanSeveralStoredBlocks)
{
    // 200 x 200 RGB rows are 120200 bytes: two stored blocks of at most 65535.
    const std::vector<std::uint8_t> rgb(200 * 200 * 3, 7);
    const auto png = wintest::EncodePng(200, 200, rgb);
    const std::size_t idatLength = BigEndianAt(png, 33);
    EXPECT_EQ(2 + (5 + 65535) + (5 + 120200 - 65535) + 4, idatLength);
    EXPECT_EQ(0, std::memcmp(&png[png.size() - 8], "IEND", 4));
}

}  // namespace
