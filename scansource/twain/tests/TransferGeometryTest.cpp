#include <gtest/gtest.h>

#include <vector>

#include "FakeTransferServices.h"
#include "MemXferCursor.h"
#include "ScanParameters.h"
#include "SourceContext.h"
#include "TransferGeometry.h"

namespace {
ScanParameters frame(int32_t resolution, int32_t left, int32_t top, int32_t right, int32_t bottom)
{
    ScanParameters parameters;
    parameters.resolution = resolution;
    parameters.left = left;
    parameters.top = top;
    parameters.right = right;
    parameters.bottom = bottom;
    return parameters;
}
}

TEST(ImageInfo, EmptyFrameBecomesALetterPage)
{
    ScanParameters parameters = frame(150, 100, 200, 100, 50);
    completeEmptyFrame(parameters);
    EXPECT_EQ(parameters.left, 0);
    EXPECT_EQ(parameters.right, 40800);
    EXPECT_EQ(parameters.top, 0);
    EXPECT_EQ(parameters.bottom, 52800);
    TW_IMAGEINFO info = describeImage(parameters, TWPT_GRAY, 8);
    EXPECT_EQ(info.ImageWidth, 1275);
    EXPECT_EQ(info.ImageLength, 1650);
    EXPECT_EQ(info.XResolution.Whole, 150);
    EXPECT_EQ(info.YResolution.Whole, 150);

    ScanParameters partial = frame(300, 4800, 0, 14400, 9600);
    completeEmptyFrame(partial);
    EXPECT_EQ(partial.left, 4800) << "a frame with area stays";
    EXPECT_EQ(partial.right, 14400);
}

TEST(ImageInfo, SizesAreCutToSixteenBitsWithoutTurningNegative)
{
    auto length = [](int32_t resolution, int32_t units) {
        return describeImage(frame(resolution, 0, 0, 4800, units), TWPT_GRAY, 8).ImageLength;
    };
    // 14 inches at 2400 dpi: above 32767 but within 16 bits.
    EXPECT_EQ(length(2400, 67200), 33600);
    EXPECT_EQ(length(150, 1), 0);
    EXPECT_EQ(length(150, 32), 1);
    TW_INT32 absurd = length(32767, 67200);
    EXPECT_TRUE(absurd >= 0 && absurd < 65536) << "cut, not an overflowing conversion";
}

TEST(ImageInfo, SamplesFollowTheBitDepth)
{
    ScanParameters parameters = frame(300, 0, 0, 4800, 4800);
    struct Case {
        int pixelType, bitDepth, samples;
        std::vector<int> bitsPerSample;
    } cases[] = {
        {TWPT_BW, 1, 1, {1, 0, 0, 0, 0, 0, 0, 0}},
        {TWPT_GRAY, 8, 1, {8, 0, 0, 0, 0, 0, 0, 0}},
        {TWPT_RGB, 24, 3, {8, 8, 8, 8, 0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        TW_IMAGEINFO info = describeImage(parameters, c.pixelType, c.bitDepth);
        EXPECT_EQ(info.PixelType, c.pixelType);
        EXPECT_EQ(info.BitsPerPixel, c.bitDepth);
        EXPECT_EQ(info.SamplesPerPixel, c.samples);
        EXPECT_EQ(std::vector<int>(info.BitsPerSample, info.BitsPerSample + 8), c.bitsPerSample);
        EXPECT_EQ(info.Planar, 0);
        EXPECT_EQ(info.Compression, TWCP_NONE);
    }
}

TEST(ImageLayout, FrameEdgesInTheThreeUnits)
{
    struct Case {
        int units;
        int32_t edge;
        float expected;
        int32_t back;  // the edge that the expected value converts back to
    } cases[] = {
        {TWUN_INCHES, 40800, 8.5f, 40800},
        {TWUN_INCHES, 2400, 0.5f, 2400},
        {TWUN_CENTIMETERS, 40800, 21.59f, 40800},
        {TWUN_CENTIMETERS, 4800, 2.54f, 4800},
        {TWUN_PIXELS, 40800, 1275.0f, 40800},
        {TWUN_PIXELS, 52800, 1650.0f, 52800},
        {77, 4800, 1.0f, 4800},  // unknown units read as inches
    };
    for (const Case& c : cases) {
        EXPECT_FLOAT_EQ(frameEdgeInUnits(c.edge, c.units, 150), c.expected) << c.units << " " << c.edge;
        int32_t edge = -1;
        ASSERT_TRUE(frameEdgeFromUnits(c.expected, c.units, 150, edge));
        EXPECT_EQ(edge, c.back) << c.units << " " << c.edge;
    }
    EXPECT_EQ(fix32FromNumber(frameEdgeInUnits(2000000000, TWUN_PIXELS, 2400)).Whole, 32767) << "saturates";
    int32_t edge = 7;
    ASSERT_TRUE(frameEdgeFromUnits(2.5399f, TWUN_CENTIMETERS, 150, edge));
    EXPECT_EQ(edge, 4799) << "truncated, not rounded";
    edge = 7;
    EXPECT_FALSE(frameEdgeFromUnits(100.0f, TWUN_PIXELS, 0, edge)) << "no resolution to divide by";
    EXPECT_FALSE(frameEdgeFromUnits(1e30f, TWUN_INCHES, 150, edge));
    EXPECT_EQ(edge, 7);
}

TEST(SetupMemXfer, BufferSizesFollowTheRowBytes)
{
    struct Case {
        int pixelType;
        int32_t resolution, width;
        TW_UINT32 rowBytes;
    } cases[] = {
        {TWPT_BW, 150, 40800, 160},     // 1275 pixels
        {TWPT_GRAY, 150, 40800, 1276},  // 1275 + 31 bits rounded to 4 bytes
        {TWPT_RGB, 150, 40800, 3828},
        {TWPT_RGB, 300, 4800, 900},
        {TWPT_BW, 300, 0, 0},
    };
    for (const Case& c : cases) {
        TW_SETUPMEMXFER sizes = memXferSizes(frame(c.resolution, 0, 0, c.width, 4800), c.pixelType);
        EXPECT_EQ(sizes.MinBufSize, c.rowBytes) << c.pixelType << " " << c.width;
        EXPECT_EQ(sizes.MaxBufSize, 100 * c.rowBytes);
        EXPECT_EQ(sizes.Preferred, 50 * c.rowBytes);
    }
    TW_SETUPMEMXFER lineArt = memXferSizes(frame(150, 0, 0, 40800, 4800), TWPT_BW);
    EXPECT_EQ(lineArt.MaxBufSize, 16000u);
    EXPECT_EQ(lineArt.Preferred, 8000u);
}

TEST(PendingXfers, CountByStateAndFeeder)
{
    struct Case {
        int state;
        bool enabled, paper;
        TW_INT16 count;
    } cases[] = {
        {StateOpen, false, false, 1},        {StateEnabled, false, false, 1},
        {StateTransferReady, false, false, 1}, {StateTransferring, false, false, 0},
        {StateOpen, true, true, -1},         {StateTransferring, true, true, -1},
        {StateTransferReady, true, false, 0}, {StateTransferring, true, false, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(pendingTransferCount(c.state, c.enabled, c.paper), c.count)
            << c.state << " " << c.enabled << " " << c.paper;
}

TEST(MemXferStrips, ABufferOfTwoAndAHalfRowsTakesTwoRowsAtATime)
{
    const uint32_t bytesPerRow = 160;
    const uint32_t buffer = bytesPerRow * 5 / 2;
    std::vector<uint32_t> strips;
    for (uint32_t delivered = 0; delivered < 7;) {
        uint32_t rows = stripRows(buffer, bytesPerRow, 7, delivered);
        ASSERT_GT(rows, 0u);
        strips.push_back(rows);
        delivered += rows;
    }
    EXPECT_EQ(strips, (std::vector<uint32_t>{2, 2, 2, 1}));
    EXPECT_EQ(stripRows(bytesPerRow - 1, bytesPerRow, 7, 0), 0u) << "no whole row fits";
    EXPECT_EQ(stripRows(buffer, 0, 7, 0), 0u);
    EXPECT_EQ(stripRows(buffer, bytesPerRow, 7, 7), 0u);
}

TEST(MemXferStrips, DibLayoutFindsTheRowsAndRefusesShortBlocks)
{
    struct Case {
        int32_t width, height;
        uint16_t bitCount;
        uint32_t bytesPerRow, height_;
        size_t firstRow;
    } cases[] = {
        {10, 3, 1, 4, 3, 48},
        {1275, 2, 8, 1276, 2, 1064},
        {5, -4, 24, 16, 4, 40},  // top-down
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> dib = makeDib(c.width, c.height, c.bitCount);
        DibRows layout;
        ASSERT_TRUE(readDibLayout(dib.data(), dib.size(), layout)) << c.bitCount;
        EXPECT_EQ(layout.bytesPerRow, c.bytesPerRow);
        EXPECT_EQ(layout.height, c.height_);
        EXPECT_EQ(layout.firstRowOffset, c.firstRow);
        EXPECT_FALSE(readDibLayout(dib.data(), dib.size() - 1, layout)) << "last row cut short";
    }
    std::vector<uint8_t> fourBits = makeDib(8, 2, 4);
    DibRows layout;
    EXPECT_FALSE(readDibLayout(fourBits.data(), fourBits.size(), layout));
    EXPECT_FALSE(readDibLayout(fourBits.data(), 39, layout));
}
