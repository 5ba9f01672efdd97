#pragma once
// The arithmetic behind the image description operations: image size, frame
// units, memory-transfer buffer sizes and the pending-transfer count. Pure
// functions so that every rounding rule is tested on its own.
#include <cstdint>

#include "DeliveredImage.h"
#include "twain.h"

constexpr int32_t LetterLengthUnits = 52800;  // 11 inches

TW_FIX32 fix32FromNumber(double value);
double numberFromFix32(TW_FIX32 value);

// An empty frame becomes a letter page: the whole bed width, 11 inches long.
void completeEmptyFrame(ScanParameters& parameters);

// The image record of the image the current settings deliver (the frame on
// the bed); pixelType and bitDepth come from the capability table.
TW_IMAGEINFO describeImage(const ScanParameters& parameters, int pixelType, int bitDepth);

// A frame edge in 1/4800 inch expressed in ICAP_UNITS and back. Unknown
// units are read as inches. False when the edge cannot be converted back
// (pixels at a resolution of 0).
float frameEdgeInUnits(int32_t edge, int units, int32_t resolution);
bool frameEdgeFromUnits(float value, int units, int32_t resolution, int32_t& edge);

// Buffer sizes for the rows of the image the settings deliver.
TW_SETUPMEMXFER memXferSizes(const ScanParameters& parameters, int pixelType);

// What DAT_PENDINGXFERS MSG_GET reports.
TW_INT16 pendingTransferCount(int state, bool feederEnabled, bool feederHasPaper);
