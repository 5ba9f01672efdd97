#include "ScanCommands.h"
#include "ScanParameters.h"
#include "ScanReplyResult.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace {
CommandPacket packet(std::initializer_list<uint8_t> bytes)
{
    CommandPacket p{};
    std::copy(bytes.begin(), bytes.end(), p.begin());
    return p;
}
}  // namespace

TEST(ScanCommands, FixedCommandsAndColourMode)
{
    EXPECT_EQ(makeCommand(CMD_LOCK), packet({0x1B, 0x53, 0x4C, 0, 0, 0, 0, 0}));
    EXPECT_EQ(makeCommand(CMD_START), packet({0x1B, 0x53, 0x47, 0, 0, 0, 0, 0}));
    EXPECT_EQ(colourModeCommand(PIXEL_TYPE_COLOUR), packet({0x1B, 0x53, 0x43, 3, 8, 3, 1, 0}));
    EXPECT_EQ(colourModeCommand(PIXEL_TYPE_GREY), packet({0x1B, 0x53, 0x43, 1, 8, 3, 1, 0}));
    EXPECT_EQ(colourModeCommand(PIXEL_TYPE_BLACK_WHITE), packet({0x1B, 0x53, 0x43, 1, 8, 3, 1, 0}));
    EXPECT_EQ(sourceCommand(true), packet({0x1B, 0x53, 0x53, 1, 0, 0, 0, 0}));
    EXPECT_EQ(sourceCommand(false), packet({0x1B, 0x53, 0x53, 0, 0, 0, 0, 0}));
}

TEST(ScanCommands, ResolutionSteps)
{
    const std::pair<int, int> cases[] = {{50, 75},   {75, 75},   {76, 100},  {101, 150},  {200, 200},
                                         {250, 300}, {301, 600}, {600, 600}, {1200, 1200}};
    for (auto [requested, sent] : cases) {
        DeviceResolution r = deviceResolution(requested);
        EXPECT_EQ(r.horizontal, sent) << requested;
        EXPECT_EQ(r.vertical, sent) << requested;
    }
    DeviceResolution high = deviceResolution(1201);
    EXPECT_EQ(high.horizontal, 1200);
    EXPECT_EQ(high.vertical, 2400);
    EXPECT_EQ(resolutionCommand(high), packet({0x1B, 0x53, 0x44, 0xB0, 0x04, 0x60, 0x09, 0}));
}

TEST(ScanCommands, FrameAtDoubleVerticalResolutionUsesHorizontalForTheOffset)
{
    ScanParameters p;
    p.left = 4800;
    p.top = 9600;
    p.right = 14400;
    p.bottom = 19200;
    DeviceFrame f = deviceFrame(p, deviceResolution(1201));
    EXPECT_EQ(f.x, 1200);
    EXPECT_EQ(f.y, 2400);  // 2 inches at 1200, not at 2400
    EXPECT_EQ(f.width, 2400);
    EXPECT_EQ(f.height, 4800);
    EXPECT_EQ(originCommand(f), packet({0x1B, 0x53, 0x4F, 0xB0, 0x04, 0x60, 0x09, 0}));
    EXPECT_EQ(sizeCommand(f), packet({0x1B, 0x53, 0x5A, 0x60, 0x09, 0xC0, 0x12, 0}));

    p.top = -100;
    p.left = 0;
    EXPECT_EQ(deviceFrame(p, deviceResolution(300)).y, 0);
    p.left = 7;  // 7 * 300 / 4800 truncates to 0
    p.right = 40800;
    DeviceFrame narrow = deviceFrame(p, deviceResolution(300));
    EXPECT_EQ(narrow.x, 0);
    EXPECT_EQ(narrow.width, 2549);
}

TEST(ScanCommands, ContrastClasses)
{
    const std::pair<int, int> cases[] = {{0, 0},  {-60, 5}, {-40, 5}, {-39, 6}, {-25, 6}, {-24, 7}, {-10, 7},
                                         {-9, 0}, {-1, 0},  {1, 1},   {10, 1},  {11, 2},  {25, 2},  {26, 3},
                                         {40, 3}, {41, 4},  {60, 4},  {61, 4},  {100, 4}};
    for (auto [contrast, cls] : cases)
        EXPECT_EQ(contrastClass(contrast), cls) << contrast;
    const int corrections[] = {0, 12, 20, 26, 33, -53, -36, -18};
    for (int c = 0; c < 8; ++c)
        EXPECT_EQ(brightnessCorrection(c), corrections[c]);
}

TEST(ScanCommands, BrightnessByte)
{
    // Contrast 0 leaves the brightness unclamped.
    EXPECT_EQ(brightnessByte(100, 0), 0xD2);
    EXPECT_EQ(brightnessByte(-30, 0), static_cast<uint8_t>(-63));
    // Otherwise corrected by the class and clamped to -60..60.
    EXPECT_EQ(brightnessByte(50, 30), 126);         // 50 + 26 -> 60
    EXPECT_EQ(brightnessByte(10, -50), static_cast<uint8_t>(-90));  // 10 - 53 = -43
    EXPECT_EQ(brightnessByte(-60, -50), static_cast<uint8_t>(-126));
    EXPECT_EQ(brightnessByte(1, 5), 27);             // 13 * 126 / 60 = 27.3
}

TEST(ScanCommands, BrightnessContrastCommand)
{
    ScanParameters p;
    p.pixelType = PIXEL_TYPE_GREY;
    p.brightness = 100;
    p.contrast = 0;
    EXPECT_EQ(brightnessContrastCommand(p), packet({0x1B, 0x53, 0x4D, 0, 0, 0xD2, 0, 0}));
    p.pixelType = PIXEL_TYPE_COLOUR;
    p.brightness = 0;
    p.contrast = 20;
    EXPECT_EQ(brightnessContrastCommand(p), packet({0x1B, 0x53, 0x4D, 0, 0, 42, 2, 0}));
    p.pixelType = PIXEL_TYPE_BLACK_WHITE;
    EXPECT_EQ(brightnessContrastCommand(p), packet({0x1B, 0x53, 0x4D, 0, 0, 0, 0, 0}));
}

TEST(ScanCommands, FilterCommand)
{
    std::map<std::string, int> keysAsked;
    auto defaults = [&](const char* key, int value) {
        keysAsked[key] = value;
        return value;
    };
    EXPECT_EQ(filterCommand(readFilterSettings(defaults)), packet({0x1B, 0x53, 0x49, 4, 2, 1, 2, 9}));
    std::map<std::string, int> expected = {{"IDS_TAPA", 4}, {"IDS_TAPB", 2}, {"IDS_TAPC", 1}, {"IDS_TAPD", 2},
                                           {"IDS_TAPE", 0}, {"IDS_TAPF", 0}, {"IDS_SHIFT", 4}};
    EXPECT_EQ(keysAsked, expected);

    FilterSettings s;
    s.tapA = 0x105;
    s.tapE = 3;
    s.tapF = 6;   // only the low two bits count
    s.shift = 15; // only the low three bits count
    EXPECT_EQ(filterCommand(s), packet({0x1B, 0x53, 0x49, 5, 2, 1, 2, 0xC0 + 0x20 + 0x0E + 1}));
}

TEST(ReplyStatus, EveryStatusMapsAsTheDeviceMeansIt)
{
    EXPECT_EQ(mapReplyStatus(0, 0).result, 104);
    for (uint8_t s = 1; s <= 8; ++s)
        EXPECT_EQ(mapReplyStatus(s, 0).result, 101) << int(s);
    EXPECT_EQ(mapReplyStatus(9, 0).result, 103);
    for (uint8_t s = 10; s <= 14; ++s)
        EXPECT_EQ(mapReplyStatus(s, 0).result, 108) << int(s);
    EXPECT_EQ(mapReplyStatus(16, 0).result, 108);
    EXPECT_EQ(mapReplyStatus(0x80, 0).result, 108);
    EXPECT_EQ(mapReplyStatus(0xFF, 0).result, 108);
    EXPECT_STREQ(mapReplyStatus(0xFF, 0).trace, "Unknown status return received from MFP");
    EXPECT_EQ(mapReplyStatus(15, 0).result, 105);
    EXPECT_EQ(mapReplyStatus(15, 1).result, 106);
    EXPECT_EQ(mapReplyStatus(15, 15).result, 107);
    EXPECT_EQ(mapReplyStatus(15, 2).result, 108);
    EXPECT_STREQ(mapReplyStatus(15, 2).trace, "FAILURE: ADFStatus had a bad value for d[4]");
    EXPECT_STREQ(mapReplyStatus(3, 0).trace, "SCANCMD_RESULT_WARMING");
}
