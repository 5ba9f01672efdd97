#include <gtest/gtest.h>

#include "Netpbm.h"

namespace scanstream {
namespace {

std::vector<uint8_t> bytes(const std::string& text)
{
    return std::vector<uint8_t>(text.begin(), text.end());
}

TEST(Netpbm, ReadsGreyAndColourWithComments)
{
    NetpbmImage image;
    std::string error;
    ASSERT_TRUE(parseNetpbm(bytes("P5\n# scanned\n3 1\n255\nabc"), &image, &error)) << error;
    EXPECT_EQ(image.channels, 1);
    EXPECT_EQ(image.pixels, bytes("abc"));
    ASSERT_TRUE(parseNetpbm(bytes("P6 1 2 255 abcdef+"), &image, &error)) << error;
    EXPECT_EQ(image.channels, 3);
    EXPECT_EQ(image.height, 2);
    EXPECT_EQ(image.pixels, bytes("abcdef"));
    EXPECT_EQ(netpbmHeader(3, 1, 1), "P5\n3 1\n255\n");
}

TEST(Netpbm, RefusesWhatItCannotRepresent)
{
    NetpbmImage image;
    std::string error;
    EXPECT_FALSE(parseNetpbm(bytes("P3\n1 1\n255\n0 0 0"), &image, &error));
    EXPECT_FALSE(parseNetpbm(bytes("P5\n1 1\n65535\n\x01\x02"), &image, &error));
    EXPECT_NE(error.find("8-bit"), std::string::npos);
    EXPECT_FALSE(parseNetpbm(bytes("P5\n2 2\n255\nabc"), &image, &error));
    EXPECT_NE(error.find("shorter"), std::string::npos);
    EXPECT_FALSE(parseNetpbm(bytes("P5\n0 2\n255\n"), &image, &error));
    EXPECT_FALSE(parseNetpbm(bytes("P5\n99999999999 2\n255\n"), &image, &error));
    EXPECT_FALSE(parseNetpbm(bytes("P6"), &image, &error));
}

}  // namespace
}  // namespace scanstream
