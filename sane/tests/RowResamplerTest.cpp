#include "RowResampler.h"

#include "ImageCore.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<uint8_t> streamed(const std::vector<uint8_t>& pixels, int inWidth, int inHeight, int outWidth,
                              int outHeight, int channels)
{
    RowResampler resampler;
    resampler.begin(inWidth, inHeight, outWidth, outHeight, channels);
    std::vector<uint8_t> out;
    const size_t rowBytes = static_cast<size_t>(inWidth) * channels;
    for (int y = 0; y < inHeight; ++y)
        resampler.addRow(pixels.data() + y * rowBytes, [&](const uint8_t* row) {
            out.insert(out.end(), row, row + static_cast<size_t>(outWidth) * channels);
        });
    return out;
}

std::vector<uint8_t> pattern(size_t size)
{
    std::vector<uint8_t> pixels(size);
    for (size_t i = 0; i < size; ++i)
        pixels[i] = static_cast<uint8_t>((i * 37 + i / 7 * 11) % 256);
    return pixels;
}

}  // namespace

// A reduction by whole factors gives the imaging library's pixels.
TEST(RowResamplerTest, WholeFactorsMatchTheImagingLibrary)
{
    struct Case {
        int inWidth, inHeight, outWidth, outHeight, channels;
    } cases[] = {{12, 8, 6, 4, 3}, {12, 9, 4, 3, 1}, {10, 6, 2, 3, 1}, {9, 4, 3, 2, 3}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.inWidth << "x" << c.inHeight << " to " << c.outWidth << "x"
                                        << c.outHeight << ", " << c.channels);
        imaging::Image image;
        image.width = c.inWidth;
        image.height = c.inHeight;
        image.bitsPerPixel = 8 * c.channels;
        image.topDown = true;
        if (c.channels == 1) {
            image.paletteSize = 256;
            for (int i = 0; i < 256; ++i)
                for (int k = 0; k < 3; ++k)
                    image.palette[static_cast<size_t>(i) * 4 + k] = static_cast<uint8_t>(i);
        }
        image.pixels = pattern(image.stride() * c.inHeight);
        std::vector<uint8_t> rows;
        for (int y = 0; y < c.inHeight; ++y)
            rows.insert(rows.end(), image.rowFromTop(y), image.rowFromTop(y) + c.inWidth * c.channels);
        ASSERT_EQ(imaging::resizeImage(image, c.outWidth, c.outHeight), 1);
        std::vector<uint8_t> expected;
        for (int y = 0; y < c.outHeight; ++y)
            expected.insert(expected.end(), image.rowFromTop(y), image.rowFromTop(y) + c.outWidth * c.channels);
        EXPECT_EQ(streamed(rows, c.inWidth, c.inHeight, c.outWidth, c.outHeight, c.channels), expected);
    }
}

// Other ratios weigh the pixels an output pixel covers in part by their share.
TEST(RowResamplerTest, PartlyCoveredPixelsCountByTheirShare)
{
    // 3 to 2 across: [a, b/2] and [b/2, c], each over 1.5 pixels.
    EXPECT_EQ(streamed({0, 90, 180}, 3, 1, 2, 1, 1), (std::vector<uint8_t>{30, 150}));
    // 3 to 2 down, and the same size kept.
    EXPECT_EQ(streamed({0, 90, 180}, 1, 3, 1, 2, 1), (std::vector<uint8_t>{30, 150}));
    EXPECT_EQ(streamed({7, 8, 9, 10}, 2, 2, 2, 2, 1), (std::vector<uint8_t>{7, 8, 9, 10}));
}
