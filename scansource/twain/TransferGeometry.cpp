#include "TransferGeometry.h"

#include <cmath>

#include "ScanParameters.h"
#include "SourceContext.h"

TW_FIX32 fix32FromNumber(double value)
{
    // A frame far beyond the bed (an application may set one) saturates.
    if (!(value > -32768.0))
        value = -32768.0;
    if (value > 32767.99998)
        value = 32767.99998;
    auto scaled = static_cast<TW_INT32>(value * 65536.0 + (value < 0 ? -0.5 : 0.5));
    return TW_FIX32{static_cast<TW_INT16>(scaled >> 16), static_cast<TW_UINT16>(scaled & 0xffff)};
}

double numberFromFix32(TW_FIX32 value)
{
    return value.Whole + value.Frac / 65536.0;
}

void completeEmptyFrame(ScanParameters& parameters)
{
    if (parameters.right - parameters.left <= 0) {
        parameters.left = 0;
        parameters.right = BedWidthUnits;
    }
    if (parameters.bottom - parameters.top <= 0) {
        parameters.top = 0;
        parameters.bottom = LetterLengthUnits;
    }
}

TW_IMAGEINFO describeImage(const ScanParameters& parameters, int pixelType, int bitDepth)
{
    TW_IMAGEINFO info{};
    info.XResolution = fix32FromNumber(parameters.resolution);
    info.YResolution = info.XResolution;
    // The record's 16-bit sizes: a 14 inch page at 2400 dpi (33600) still fits.
    DeliveredImage image = deliveredImage(parameters);
    info.ImageWidth = static_cast<uint16_t>(image.width);
    info.ImageLength = static_cast<uint16_t>(image.height);
    info.PixelType = static_cast<TW_INT16>(pixelType);
    info.BitsPerPixel = static_cast<TW_INT16>(bitDepth);
    info.Planar = 0;
    info.Compression = TWCP_NONE;
    if (bitDepth < 24) {
        info.SamplesPerPixel = 1;
        info.BitsPerSample[0] = static_cast<TW_INT16>(bitDepth);
    } else {
        info.SamplesPerPixel = 3;
        for (int i = 0; i < 4; ++i)
            info.BitsPerSample[i] = 8;
    }
    return info;
}

float frameEdgeInUnits(int32_t edge, int units, int32_t resolution)
{
    float inches = static_cast<float>(edge) / 4800.0f;
    switch (units) {
    case TWUN_CENTIMETERS: return inches * 2.54f;
    case TWUN_PIXELS: return inches * static_cast<float>(resolution);
    default: return inches;
    }
}

bool frameEdgeFromUnits(float value, int units, int32_t resolution, int32_t& edge)
{
    double converted;
    switch (units) {
    case TWUN_CENTIMETERS: converted = value * 1889.7638f; break;
    case TWUN_PIXELS:
        if (resolution <= 0)
            return false;
        converted = value * 4800.0f / static_cast<float>(resolution);
        break;
    default: converted = value * 4800.0f; break;
    }
    if (!std::isfinite(converted) || std::fabs(converted) > 2.0e9)
        return false;
    edge = static_cast<int32_t>(converted);
    return true;
}

TW_SETUPMEMXFER memXferSizes(const ScanParameters& parameters, int pixelType)
{
    int64_t bits = pixelType == TWPT_GRAY ? 8 : pixelType == TWPT_RGB ? 24 : 1;
    // The delivered width, so that the rows the strips carry are the rows announced.
    int64_t widthPixels = deliveredImage(parameters).width;
    auto rowBytes = static_cast<TW_UINT32>(((widthPixels * bits + 31) / 8) & ~int64_t{3});
    return TW_SETUPMEMXFER{rowBytes, 100 * rowBytes, 50 * rowBytes};
}

TW_INT16 pendingTransferCount(int state, bool feederEnabled, bool feederHasPaper)
{
    if (feederEnabled)
        return feederHasPaper ? -1 : 0;
    return state == StateTransferring ? 0 : 1;
}
