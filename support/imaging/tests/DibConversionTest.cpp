#include "ImageCore.h"
#include "ImagingInterface.h"
#include "TestImages.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace imaging;
using namespace imaging::testing;

namespace {

void put32(std::vector<uint8_t>& dib, size_t at, int32_t value) { std::memcpy(dib.data() + at, &value, 4); }

TEST(DibConversion, PackedDibRoundTripsEveryDepthWithItsLayout)
{
    struct Case {
        Image image;
        size_t pixelOffset;
    } cases[] = {{lineArtImage(13, 5), 48}, {greyImage(10, 3), 1064}, {colourImage(7, 4), 40}};
    for (const Case& c : cases) {
        std::vector<uint8_t> dib = packedDib(c.image);
        EXPECT_EQ(dib.size(), c.pixelOffset + c.image.stride() * c.image.height);
        Image back;
        ASSERT_EQ(imageFromDib(dib.data(), dib.size(), back), IMAGING_SUCCESS);
        EXPECT_EQ(back.bitsPerPixel, c.image.bitsPerPixel);
        EXPECT_EQ(back.xResolution, 300);
        EXPECT_EQ(back.pixels, c.image.pixels);
        EXPECT_EQ(packedDib(back), dib);
    }
}

TEST(DibConversion, TopDownDibIsStoredBottomUp)
{
    Image image = colourImage(5, 4);
    std::vector<uint8_t> dib = packedDib(image);
    // The same picture as a top-down DIB: negative height, rows reversed.
    std::vector<uint8_t> topDown = dib;
    put32(topDown, 8, -4);
    for (int y = 0; y < 4; ++y)
        std::memcpy(topDown.data() + 40 + y * image.stride(), image.rowFromTop(y), image.stride());
    Image back;
    ASSERT_EQ(imageFromDib(topDown.data(), topDown.size(), back), IMAGING_SUCCESS);
    EXPECT_FALSE(back.topDown);
    EXPECT_EQ(back.pixels, image.pixels);
}

TEST(DibConversion, GreyDibDeclaringTwoHundredFiftyFiveColoursKeepsItsFullTable)
{
    Image image = greyImage(8, 2);
    std::vector<uint8_t> dib = packedDib(image);
    put32(dib, 32, 255);
    // Also in a block larger than asked for, as global memory may be.
    std::vector<uint8_t> padded = dib;
    padded.resize(dib.size() + 16, 0xee);
    for (const std::vector<uint8_t>* block : {&dib, &padded}) {
        Image back;
        ASSERT_EQ(imageFromDib(block->data(), block->size(), back), IMAGING_SUCCESS);
        EXPECT_EQ(back.pixels, image.pixels);
        EXPECT_EQ(back.palette, image.palette) << "entry 255 is white, not black";
        EXPECT_TRUE(hasGreyRamp(back));
        EXPECT_EQ(packedDib(back), dib) << "given back as it came: 255 declared, 256 carried";
    }
}

TEST(DibConversion, RejectsWhatItCannotRead)
{
    const std::vector<uint8_t> good = packedDib(greyImage(8, 2));
    struct Case {
        const char* what;
        size_t at;
        int32_t value;
        size_t bytes;
        int result;
    } cases[] = {
        {"header too small", 0, 12, 4, IMAGING_INVALID_ARGUMENT},
        {"zero width", 4, 0, 4, IMAGING_INVALID_ARGUMENT},
        {"zero height", 8, 0, 4, IMAGING_INVALID_ARGUMENT},
        {"two planes", 12, 2, 2, IMAGING_INVALID_ARGUMENT},
        {"4 bits per pixel", 14, 4, 2, IMAGING_FORMAT_NOT_SUPPORTED},
        {"run-length coded", 16, 1, 4, IMAGING_FORMAT_NOT_SUPPORTED},
        {"taller than the block", 8, 3, 4, IMAGING_INVALID_ARGUMENT},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> dib = good;
        std::memcpy(dib.data() + c.at, &c.value, c.bytes);
        Image back;
        EXPECT_EQ(imageFromDib(dib.data(), dib.size(), back), c.result) << c.what;
    }
    Image back;
    EXPECT_EQ(imageFromDib(good.data(), 39, back), IMAGING_INVALID_ARGUMENT);
}

}
