#pragma once
// The process-wide scan settings record: the capability layer fills it, the
// scan engine and the command builders read it.
#include <cstdint>

enum ScanPixelType : int32_t {
    PIXEL_TYPE_BLACK_WHITE = 0,
    PIXEL_TYPE_GREY = 1,
    PIXEL_TYPE_COLOUR = 2,
};

struct ScanParameters {
    int32_t resolution = 300;
    int32_t pixelType = PIXEL_TYPE_COLOUR;
    int32_t invert = 0;
    int16_t brightness = 0;
    int16_t contrast = 0;
    int32_t highlight = 255;
    int32_t shadow = 0;
    int16_t threshold = 160;
    float gamma = 1.0f;
    // Frame in 1/4800 inch from the top-left corner of the glass.
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 40800;
    int32_t bottom = 52800;
    int32_t transferMechanism = 0;
    int32_t paperSize = 0;
    int32_t descreen = 0;
    int32_t firstTime = 1;
    int32_t feederChecked = 0;
    int16_t jpegQuality = -2;
};

ScanParameters& currentScanParameters();

// The settings window's threshold levels 1..7; 0 for any other level.
int16_t thresholdForLevel(int level);
// The level of one of the seven thresholds, 4 for any other value.
int levelForThreshold(int threshold);
