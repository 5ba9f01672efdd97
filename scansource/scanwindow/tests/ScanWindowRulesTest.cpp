#include "ScanWindowRules.h"

#include <gtest/gtest.h>

using namespace scanwindow;

namespace {
constexpr Frame Letter{0, 0, 40800, 52800};

TEST(ImageSizeText, EachBandHasItsFormat)
{
    struct Case {
        double bytes;
        const char* text;
    } cases[] = {
        {0, "10 Bytes"},          {9.9, "10 Bytes"},        {10, "  10 Bytes"},
        {1023, "1023 Bytes"},     {1024, " 1.0 KB"},        {1048575, "1024.0 KB"},
        {1048576, " 1.0 MB"},     {1073741823, "1024.0 MB"}, {1073741824, "  1.0 GB"},
        {5.5 * 1073741824, "  5.5 GB"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(imageSizeText(c.bytes), c.text) << c.bytes;
}

TEST(EstimatedImageBytes, ByColourTypeOverALetterPage)
{
    // 2550 × 3300 pixels at 300 dpi.
    EXPECT_DOUBLE_EQ(estimatedImageBytes(300, 0, Letter), 2550.0 * 3300 / 8);
    EXPECT_EQ(imageSizeText(estimatedImageBytes(300, 0, Letter)), " 1.0 MB");
    EXPECT_DOUBLE_EQ(estimatedImageBytes(300, 1, Letter), 2550.0 * 3300);
    EXPECT_DOUBLE_EQ(estimatedImageBytes(300, 2, Letter), 3 * 2550.0 * 3300);
    EXPECT_DOUBLE_EQ(estimatedImageBytes(150, 2, Frame{100, 100, 100, 4900}), 0.0);
}

TEST(FrameTexts, InchesOrCentimetres)
{
    EXPECT_EQ(frameWidthText(Letter, false), "8.5");
    EXPECT_EQ(frameHeightText(Letter, false), "11.0");
    EXPECT_EQ(frameWidthText(Letter, true), "21.6");
    EXPECT_EQ(frameHeightText(Letter, true), "27.9");
    EXPECT_EQ(frameHeightText(Frame{0, 4800, 480, 7200}, false), "0.5");
}

TEST(Descreen, OnlyForGrayAndColourUpTo600Dpi)
{
    EXPECT_TRUE(descreenAllowed(600, 1));
    EXPECT_TRUE(descreenAllowed(150, 2));
    EXPECT_FALSE(descreenAllowed(600, 0));
    EXPECT_FALSE(descreenAllowed(1200, 2));
}

TEST(PaperSizeChoice, RememberedFirstOpeningMetricAndCustom)
{
    const std::vector<int32_t> sizes{1, 5, 2, 3, 4, 70, 71, 52, 0};
    struct Case {
        int32_t remembered;
        bool firstOpening;
        bool customFits;
        bool metric;
        PaperChoice expected;
    } cases[] = {
        {4, false, true, false, {4, false}},   // remembered and listed
        {4, true, true, true, {1, true}},      // first opening: the locale's size
        {4, true, true, false, {3, true}},
        {0, false, true, false, {0, false}},   // custom area that fits
        {0, false, false, true, {1, true}},    // custom area too tall
        {0, false, false, false, {3, true}},
        {62, false, true, false, {3, true}},   // not in the list
    };
    for (const Case& c : cases) {
        PaperChoice choice = choosePaperSize(sizes, c.remembered, c.firstOpening, c.customFits, c.metric);
        EXPECT_EQ(choice.id, c.expected.id) << c.remembered << " " << c.firstOpening;
        EXPECT_EQ(choice.clearFirstTime, c.expected.clearFirstTime) << c.remembered;
    }
}

TEST(PaperSizeChoice, CustomAreaFitsByItsBottomInPreviewPixels)
{
    // A 200-pixel preview shows 14 inches in 329 pixels.
    EXPECT_TRUE(customAreaFitsPreview(Frame{0, 0, 40800, 52800}, 200, 329));
    EXPECT_TRUE(customAreaFitsPreview(Frame{0, 0, 40800, 67200}, 200, 329));
    EXPECT_FALSE(customAreaFitsPreview(Frame{0, 0, 40800, 70000}, 200, 329));
    EXPECT_FALSE(customAreaFitsPreview(Frame{0, 0, 40800, 52800}, 200, 200));
    EXPECT_TRUE(customAreaFitsPreview(Frame{0, 0, 40800, 52800}, 0, 0));
}

TEST(ScanChecks, AreaAndResolutionLimits)
{
    struct Case {
        Frame frame;
        int resolution;
        ScanCheck expected;
    } cases[] = {
        {Letter, 600, ScanCheck::Passed},                             // 600 × 8, 600 × 11
        {Frame{0, 0, 480, 480}, 600, ScanCheck::Passed},              // exactly 0.1 inch
        {Frame{0, 0, 479, 52800}, 150, ScanCheck::AreaTooSmall},
        {Frame{100, 100, 40800, 579}, 150, ScanCheck::AreaTooSmall},
        {Frame{0, 0, 0, 0}, 150, ScanCheck::AreaTooSmall},
        {Frame{0, 0, 40800, 67200}, 2100, ScanCheck::Passed},         // 2100 × 8, 2100 × 14 = 29400
        {Frame{0, 0, 40800, 67200}, 2400, ScanCheck::BeyondResolutionLimits},  // 2400 × 14 = 33600
        {Frame{0, 0, 40800, 60000}, 2400, ScanCheck::Passed},         // 12 whole inches: 28800
        {Frame{0, 0, 40800, 62400}, 2400, ScanCheck::BeyondResolutionLimits},  // 13: 31200
        {Frame{0, 0, 40800, 4800}, 2700, ScanCheck::BeyondResolutionLimits},   // 2700 × 8 = 21600
    };
    for (const Case& c : cases)
        EXPECT_EQ(checkScanFrame(c.frame, c.resolution), c.expected)
            << c.frame.right << "x" << c.frame.bottom << " @" << c.resolution;
}

TEST(ScanChecks, LargeImageWarningAbove100MegabytesUnlessSwitchedOff)
{
    EXPECT_FALSE(needsLargeImageWarning(LargeImageBytes, false));
    EXPECT_TRUE(needsLargeImageWarning(LargeImageBytes + 1, false));
    EXPECT_FALSE(needsLargeImageWarning(LargeImageBytes + 1, true));
    // A colour legal page at 600 dpi.
    EXPECT_TRUE(needsLargeImageWarning(estimatedImageBytes(600, 2, Frame{0, 0, 40800, 67200}), false));
}
}  // namespace
