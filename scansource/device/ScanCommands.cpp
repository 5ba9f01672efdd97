#include "ScanCommands.h"

namespace {

constexpr uint8_t kEsc = 0x1B;
constexpr uint8_t kCommandPrefix = 0x53;
constexpr int kUnitsPerInch = 4800;

uint8_t lowByte(int value) { return static_cast<uint8_t>(value & 0xFF); }
uint8_t highByte(int value) { return static_cast<uint8_t>((value >> 8) & 0xFF); }

CommandPacket makeWordCommand(uint8_t letter, int first, int second)
{
    return makeCommand(letter, lowByte(first), highByte(first), lowByte(second), highByte(second), 0);
}

}  // namespace

CommandPacket makeCommand(uint8_t letter, uint8_t b3, uint8_t b4, uint8_t b5, uint8_t b6, uint8_t b7)
{
    return {kEsc, kCommandPrefix, letter, b3, b4, b5, b6, b7};
}

DeviceResolution deviceResolution(int requestedDpi)
{
    static constexpr int kSteps[] = {75, 100, 150, 200, 300, 600, 1200};
    for (int step : kSteps) {
        if (requestedDpi <= step)
            return {step, step};
    }
    return {1200, 2400};
}

DeviceFrame deviceFrame(const ScanParameters& p, DeviceResolution r)
{
    // 64-bit intermediates: a full-height frame at 2400 dpi overflows 32 bits.
    auto scale = [](int32_t units, int dpi) {
        return static_cast<int>(static_cast<int64_t>(units) * dpi / kUnitsPerInch);
    };
    DeviceFrame frame{};
    frame.x = scale(p.left, r.horizontal);
    frame.y = scale(p.top, r.horizontal);
    if (frame.y < 0)
        frame.y = 0;
    frame.width = scale(p.right - p.left, r.horizontal);
    frame.height = scale(p.bottom - p.top, r.vertical);
    return frame;
}

int contrastClass(int contrast)
{
    if (contrast == 0)
        return 0;
    if (contrast < -39)
        return 5;
    if (contrast < -24)
        return 6;
    if (contrast < -9)
        return 7;
    if (contrast <= 0)
        return 0;
    if (contrast <= 10)
        return 1;
    if (contrast <= 25)
        return 2;
    if (contrast <= 40)
        return 3;
    return 4;
}

int brightnessCorrection(int contrastClass)
{
    // trunc(factor * 60) of the single-precision factors
    // 0, 0.2, 0.35, 0.45, 0.55, -0.9, -0.6, -0.3.
    static constexpr int kCorrection[] = {0, 12, 20, 26, 33, -53, -36, -18};
    if (contrastClass < 0 || contrastClass > 7)
        return 0;
    return kCorrection[contrastClass];
}

uint8_t brightnessByte(int brightness, int contrast)
{
    int b = static_cast<int16_t>(brightness);
    if (contrast != 0) {
        b = static_cast<int16_t>(b + brightnessCorrection(contrastClass(contrast)));
        if (b < -60)
            b = -60;
        if (b > 60)
            b = 60;
    }
    return static_cast<uint8_t>(static_cast<int8_t>(b * 126 / 60));
}

CommandPacket colourModeCommand(int pixelType)
{
    uint8_t channels = pixelType == PIXEL_TYPE_COLOUR ? 3 : 1;
    return makeCommand(CMD_COLOUR_MODE, channels, 8, 3, 1, 0);
}

CommandPacket resolutionCommand(DeviceResolution resolution)
{
    return makeWordCommand(CMD_RESOLUTION, resolution.horizontal, resolution.vertical);
}

CommandPacket originCommand(const DeviceFrame& frame)
{
    return makeWordCommand(CMD_ORIGIN, frame.x, frame.y);
}

CommandPacket sizeCommand(const DeviceFrame& frame)
{
    return makeWordCommand(CMD_SIZE, frame.width, frame.height);
}

CommandPacket sourceCommand(bool flatbedGlass)
{
    return makeCommand(CMD_SOURCE, flatbedGlass ? 1 : 0);
}

CommandPacket brightnessContrastCommand(const ScanParameters& p)
{
    if (p.pixelType == PIXEL_TYPE_BLACK_WHITE)
        return makeCommand(CMD_BRIGHTNESS_CONTRAST);
    return makeCommand(CMD_BRIGHTNESS_CONTRAST, 0, 0, brightnessByte(p.brightness, p.contrast),
                       static_cast<uint8_t>(contrastClass(p.contrast)), 0);
}

FilterSettings readFilterSettings(const FilterSettingReader& readSetting)
{
    FilterSettings s;
    s.tapA = readSetting("IDS_TAPA", s.tapA);
    s.tapB = readSetting("IDS_TAPB", s.tapB);
    s.tapC = readSetting("IDS_TAPC", s.tapC);
    s.tapD = readSetting("IDS_TAPD", s.tapD);
    s.tapE = readSetting("IDS_TAPE", s.tapE);
    s.tapF = readSetting("IDS_TAPF", s.tapF);
    s.shift = readSetting("IDS_SHIFT", s.shift);
    return s;
}

CommandPacket filterCommand(const FilterSettings& s)
{
    uint8_t packed = static_cast<uint8_t>((s.tapE << 6) + ((s.tapF & 3) << 4) + ((s.shift & 7) << 1) + 1);
    return makeCommand(CMD_IMAGE_FILTER, lowByte(s.tapA), lowByte(s.tapB), lowByte(s.tapC), lowByte(s.tapD),
                       packed);
}
