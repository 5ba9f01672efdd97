#pragma once
// The 8-byte escape commands and the rules that turn the scan settings into
// their parameters.
#include "ScanParameters.h"

#include <array>
#include <cstdint>
#include <functional>

using CommandPacket = std::array<uint8_t, 8>;

enum ScanCommandLetter : uint8_t {
    CMD_LOCK = 'L',
    CMD_FEEDER_STATUS = 'F',
    CMD_COLOUR_MODE = 'C',
    CMD_RESOLUTION = 'D',
    CMD_ORIGIN = 'O',
    CMD_SIZE = 'Z',
    CMD_SOURCE = 'S',
    CMD_BRIGHTNESS_CONTRAST = 'M',
    CMD_IMAGE_FILTER = 'I',
    CMD_START = 'G',
    CMD_UNLOCK = 'U',
    CMD_ABORT = 'A',
};

CommandPacket makeCommand(uint8_t letter, uint8_t b3 = 0, uint8_t b4 = 0, uint8_t b5 = 0, uint8_t b6 = 0,
                          uint8_t b7 = 0);

struct DeviceResolution {
    int horizontal;
    int vertical;
};

// The nearest supported resolution at or above the request; above 1200 dpi
// the device scans 1200 across and 2400 down.
DeviceResolution deviceResolution(int requestedDpi);

struct DeviceFrame {
    int x;       // pixels
    int y;       // pixels, at the horizontal resolution
    int width;   // pixels
    int height;  // lines
};

DeviceFrame deviceFrame(const ScanParameters& parameters, DeviceResolution resolution);

// Contrast class 0..7 sent with M. Contrast above 60 (beyond the settings
// window's range) gets the strongest positive class, 4.
int contrastClass(int contrast);
int brightnessCorrection(int contrastClass);
// The signed brightness byte of M.
uint8_t brightnessByte(int brightness, int contrast);

CommandPacket colourModeCommand(int pixelType);
CommandPacket resolutionCommand(DeviceResolution resolution);
CommandPacket originCommand(const DeviceFrame& frame);
CommandPacket sizeCommand(const DeviceFrame& frame);
CommandPacket sourceCommand(bool flatbedGlass);
CommandPacket brightnessContrastCommand(const ScanParameters& parameters);

struct FilterSettings {
    int tapA = 4;
    int tapB = 2;
    int tapC = 1;
    int tapD = 2;
    int tapE = 0;
    int tapF = 0;
    int shift = 4;
};

// Reads one integer of section "IDS_FILTER_SETTINGS" of the settings file,
// answering the default when the key is missing.
using FilterSettingReader = std::function<int(const char* key, int defaultValue)>;

FilterSettings readFilterSettings(const FilterSettingReader& readSetting);
CommandPacket filterCommand(const FilterSettings& settings);
