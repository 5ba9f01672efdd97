#include "ScanWindowRules.h"

#include <stdio.h>

#include <algorithm>

namespace scanwindow {

namespace {
std::string formatted(const char* format, double value)
{
    char text[64];
    snprintf(text, sizeof text, format, value);
    return text;
}

double bytesPerPixel(int pixelType)
{
    switch (pixelType) {
    case 0:
        return 1.0 / 8.0;
    case 1:
        return 1.0;
    default:
        return 3.0;
    }
}

double inchesOrCentimetres(int32_t units, bool metric)
{
    double inches = static_cast<double>(units) / UnitsPerInch;
    return metric ? inches * 2.54 : inches;
}
}

double estimatedImageBytes(int resolution, int pixelType, const Frame& frame)
{
    double rows = static_cast<double>(resolution) * (frame.bottom - frame.top) / UnitsPerInch;
    double columns = static_cast<double>(resolution) * (frame.right - frame.left) / UnitsPerInch;
    return bytesPerPixel(pixelType) * rows * columns;
}

std::string imageSizeText(double bytes)
{
    if (bytes < 10)
        return "10 Bytes";
    if (bytes < 1024)
        return formatted("%4.0f Bytes", bytes);
    if (bytes < 1048576)
        return formatted("%4.1f KB", bytes / 1024);
    if (bytes < 1073741824)
        return formatted("%4.1f MB", bytes / 1048576);
    return formatted("%5.1f GB", bytes / 1073741824);
}

std::string frameWidthText(const Frame& frame, bool metric)
{
    return formatted("%1.1f", inchesOrCentimetres(frame.right - frame.left, metric));
}

std::string frameHeightText(const Frame& frame, bool metric)
{
    return formatted("%2.1f", inchesOrCentimetres(frame.bottom - frame.top, metric));
}

bool descreenAllowed(int resolution, int pixelType)
{
    return resolution <= 600 && pixelType != 0;
}

PaperChoice choosePaperSize(const std::vector<int32_t>& listedIds, int32_t rememberedId, bool firstOpening,
                            bool customAreaFits, bool metric)
{
    bool listed = std::find(listedIds.begin(), listedIds.end(), rememberedId) != listedIds.end();
    bool usable = listed && !firstOpening && (rememberedId != 0 || customAreaFits);
    if (usable)
        return {rememberedId, false};
    // TWSS_A4LETTER for metric locales, TWSS_USLETTER elsewhere.
    return {metric ? 1 : 3, true};
}

bool customAreaFitsPreview(const Frame& frame, int previewWidth, int previewHeight)
{
    if (previewWidth <= 0)
        return frame.bottom <= BedLength;
    // Rounded as the selection rectangle is drawn, so a full-length area fits.
    int64_t bottomPixels = (static_cast<int64_t>(frame.bottom) * previewWidth + BedWidth / 2) / BedWidth;
    return bottomPixels <= previewHeight;
}

ScanCheck checkScanFrame(const Frame& frame, int resolution)
{
    int32_t width = frame.right - frame.left;
    int32_t height = frame.bottom - frame.top;
    if (width < UnitsPerInch / 10 || height < UnitsPerInch / 10)
        return ScanCheck::AreaTooSmall;
    if (static_cast<int64_t>(resolution) * (width / UnitsPerInch) > 21000 ||
        static_cast<int64_t>(resolution) * (height / UnitsPerInch) > 30000)
        return ScanCheck::BeyondResolutionLimits;
    return ScanCheck::Passed;
}

bool needsLargeImageWarning(double estimatedBytes, bool doNotAsk)
{
    return estimatedBytes > LargeImageBytes && !doNotAsk;
}

Frame clampToBed(const Frame& frame)
{
    Frame clamped;
    clamped.left = std::clamp(frame.left, 0, BedWidth);
    clamped.right = std::clamp(frame.right, clamped.left, BedWidth);
    clamped.top = std::clamp(frame.top, 0, BedLength);
    clamped.bottom = std::clamp(frame.bottom, clamped.top, BedLength);
    return clamped;
}

}  // namespace scanwindow
