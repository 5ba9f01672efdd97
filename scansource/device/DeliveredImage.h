#pragma once
// The image that a scan of ScanParameters delivers, decided in one place:
// the scan engine scans and fits exactly this, and every description the
// application is given (DAT_IMAGEINFO, DAT_SETUPMEMXFER, DAT_IMAGELAYOUT)
// reports it. Portable.
#include "ScanParameters.h"

#include <cstdint>

constexpr int32_t BedWidthUnits = 40800;   // 8.5 inches of 1/4800 inch
// The longest sheet the feeder takes (legal, 14 inches); the glass is shorter.
constexpr int32_t BedLengthUnits = 67200;

struct DeliveredImage {
    // The part of the requested frame that lies on the bed, in 1/4800 inch.
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
    // Its size in pixels at the requested resolution; 0 when nothing of it
    // lies on the bed or it is thinner than a pixel.
    int32_t width = 0;
    int32_t height = 0;
};

DeliveredImage deliveredImage(const ScanParameters& requested);

// trunc(units x resolution / 4800) with each step rounded to single
// precision, as the fit to the requested resolution computes it; 0 for a
// negative size, saturated at the 32-bit maximum.
int32_t pixelsAtResolution(int32_t units, int32_t resolution);
