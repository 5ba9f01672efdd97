#include "ImageCore.h"
#include "ImagingInterface.h"
#include "TestImages.h"

#include <gtest/gtest.h>

using namespace imaging;
using namespace imaging::testing;

namespace {

TEST(Resize, HalvingAveragesEachTwoByTwoBlock)
{
    Image image = greyImage(4, 4);
    const uint8_t values[4][4] = {{0, 10, 200, 201}, {20, 30, 202, 203}, {255, 255, 1, 2}, {255, 254, 3, 4}};
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            image.rowFromTop(y)[x] = values[y][x];
    ASSERT_EQ(resizeImage(image, 2, 2), IMAGING_SUCCESS);
    EXPECT_EQ(image.rowFromTop(0)[0], 15);   // (0 + 10 + 20 + 30) / 4
    EXPECT_EQ(image.rowFromTop(0)[1], 202);  // 806 / 4 rounded
    EXPECT_EQ(image.rowFromTop(1)[0], 255);  // 1019 / 4 rounded
    EXPECT_EQ(image.rowFromTop(1)[1], 3);    // 10 / 4 rounded
}

TEST(Resize, FlatColourStaysFlatAtEverySize)
{
    struct Case {
        int width, height;
    } cases[] = {{425, 50}, {2, 2}, {1700, 300}, {1275, 37}};  // down by area, up by the cubic filter
    for (const Case& c : cases) {
        Image image = colourImage(850, 100);
        for (int y = 0; y < image.height; ++y)
            for (int x = 0; x < image.width; ++x) {
                uint8_t* pixel = image.rowFromTop(y) + x * 3;
                pixel[0] = 12, pixel[1] = 140, pixel[2] = 250;
            }
        ASSERT_EQ(resizeImage(image, c.width, c.height), IMAGING_SUCCESS);
        ASSERT_EQ(image.width, c.width);
        ASSERT_EQ(image.pixels.size(), image.stride() * c.height);
        const uint8_t* last = image.rowFromTop(c.height - 1) + (c.width - 1) * 3;
        EXPECT_EQ(last[0], 12) << c.width;
        EXPECT_EQ(last[1], 140) << c.width;
        EXPECT_EQ(last[2], 250) << c.width;
    }
}

TEST(Resize, LineArtStaysLineArtAndKeepsItsShapes)
{
    // Left half black (entry 1), right half white, doubled in width.
    Image image = lineArtImage(16, 4);
    for (int y = 0; y < 4; ++y) {
        image.rowFromTop(y)[0] = 0xff;
        image.rowFromTop(y)[1] = 0x00;
    }
    ASSERT_EQ(resizeImage(image, 32, 4), IMAGING_SUCCESS);
    EXPECT_EQ(image.bitsPerPixel, 1);
    EXPECT_EQ(image.stride(), 4u);
    for (int y = 0; y < 4; ++y) {
        EXPECT_EQ(image.rowFromTop(y)[0], 0xff);
        EXPECT_EQ(image.rowFromTop(y)[1], 0xff);
        EXPECT_EQ(image.rowFromTop(y)[2], 0x00);
        EXPECT_EQ(image.rowFromTop(y)[3], 0x00);
    }
}

TEST(Resize, RefusesSizesItCannotMake)
{
    Image image = greyImage(10, 10);
    EXPECT_EQ(resizeImage(image, 0, 5), IMAGING_INVALID_ARGUMENT);
    EXPECT_EQ(resizeImage(image, 5, -1), IMAGING_INVALID_ARGUMENT);
    EXPECT_EQ(resizeImage(image, 70000, 5), IMAGING_INVALID_ARGUMENT);
    EXPECT_EQ(image.width, 10);
}

}
