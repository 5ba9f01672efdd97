#pragma once
// The scan settings window's decisions that need no window: the size
// display, the paper size to select and the checks before a scan. Frames are
// in 1/4800 inch; the bed is 40800 wide and 67200 (14 inches) long.
#include <stdint.h>

#include <string>
#include <vector>

namespace scanwindow {

constexpr int32_t UnitsPerInch = 4800;
constexpr int32_t BedWidth = 40800;
constexpr int32_t BedLength = 67200;

struct Frame {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
};

// Bytes of the image a frame gives: 1/8 byte a pixel for black and white
// (pixel type 0), 1 for gray (1), 3 for RGB (2).
double estimatedImageBytes(int resolution, int pixelType, const Frame& frame);
// "10 Bytes", "%4.0f Bytes", "%4.1f KB", "%4.1f MB" or "%5.1f GB".
std::string imageSizeText(double bytes);
// Width ("%1.1f") and height ("%2.1f") in inches, or centimetres when the
// locale measures in metric units.
std::string frameWidthText(const Frame& frame, bool metric);
std::string frameHeightText(const Frame& frame, bool metric);

bool descreenAllowed(int resolution, int pixelType);

// The paper size id to select in a freshly filled list.
struct PaperChoice {
    int32_t id;
    bool clearFirstTime;
};
PaperChoice choosePaperSize(const std::vector<int32_t>& listedIds, int32_t rememberedId, bool firstOpening,
                            bool customAreaFits, bool metric);

// The custom area fits when its bottom lies inside a preview of this size
// (pixels; the preview shows the bed's width).
bool customAreaFitsPreview(const Frame& frame, int previewWidth, int previewHeight);

enum class ScanCheck { Passed, AreaTooSmall, BeyondResolutionLimits };
// At least 0.1 inch each way; resolution times the whole inches at most
// 21000 across and 30000 down.
ScanCheck checkScanFrame(const Frame& frame, int resolution);

constexpr double LargeImageBytes = 104857600.0;
bool needsLargeImageWarning(double estimatedBytes, bool doNotAsk);

// Inside the bed, left not right of right, top not below bottom.
Frame clampToBed(const Frame& frame);

}  // namespace scanwindow
