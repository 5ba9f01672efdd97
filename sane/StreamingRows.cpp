#include "StreamingRows.h"

#include "BitmapBuilding.h"
#include "DeliveredImage.h"
#include "ScanReplyResult.h"

namespace {
// Fitted line art is black where the averaged levels of white (255) and
// black (0) fall below their middle, as the imaging library decides.
constexpr int kFittedLineArtThreshold = 127;
}

void packSaneLineArt(const uint8_t* grey, int width, int threshold, uint8_t* packed)
{
    // The source packs 1 for white and turns the bits over for its bitmap,
    // whose palette entry 1 is black; SANE's 1 is black already.
    int bytes = packLineArtRow(grey, width, threshold, true, packed);
    if (width % 8 != 0)
        packed[bytes - 1] = static_cast<uint8_t>(packed[bytes - 1] & (0xFF00 >> (width % 8)));
}

ScanImageGeometry fittedGeometry(const ScanParameters& clamped, const ScanImageGeometry& scanned)
{
    ScanImageGeometry fitted = scanned;
    fitted.hdpi = fitted.vdpi = clamped.resolution;
    fitted.width = pixelsAtResolution(clamped.right - clamped.left, clamped.resolution);
    fitted.height = pixelsAtResolution(clamped.bottom - clamped.top, clamped.resolution);
    return fitted;
}

DibHandle StreamingRows::createScanBitmap(const ScanParameters& parameters, const ScanImageGeometry& geometry, int)
{
    const ScanImageGeometry fitted = fittedGeometry(parameters, geometry);
    lineArt_ = geometry.pixelType == PIXEL_TYPE_BLACK_WHITE;
    threshold_ = parameters.threshold;
    fitting_ = fitted.hdpi != geometry.hdpi || fitted.vdpi != geometry.vdpi || fitted.width != geometry.width ||
        fitted.height != geometry.height;
    width_ = fitted.width;
    channels_ = geometry.channels;
    scannedWidth_ = geometry.width;
    if (fitting_)
        resampler_.begin(geometry.width, geometry.height, fitted.width, fitted.height, geometry.channels);
    levels_.assign(lineArt_ && fitting_ ? static_cast<size_t>(geometry.width) : 0, 0);
    packed_.assign(static_cast<size_t>(fitted.width + 7) / 8, 0);
    rows_ = 0;
    return this;
}

void StreamingRows::deliver(const uint8_t* row, size_t bytes)
{
    ++rows_;
    if (lineArt_) {
        packSaneLineArt(row, width_, fitting_ ? kFittedLineArtThreshold : threshold_, packed_.data());
        stream_.put(packed_.data(), packed_.size());
    } else {
        stream_.put(row, bytes);
    }
}

void StreamingRows::appendDecodedRow(const uint8_t* row, int count)
{
    if (count <= 0)
        return;
    if (!fitting_) {
        deliver(row, static_cast<size_t>(count));
        return;
    }
    const uint8_t* scanned = row;
    if (lineArt_) {
        // Thresholded as the source thresholds it, then fitted as grey.
        for (int x = 0; x < scannedWidth_; ++x)
            levels_[static_cast<size_t>(x)] = row[x] > threshold_ ? 255 : 0;
        scanned = levels_.data();
    }
    const size_t bytes = static_cast<size_t>(width_) * static_cast<size_t>(channels_);
    resampler_.addRow(scanned, [this, bytes](const uint8_t* fitted) { deliver(fitted, bytes); });
}

int StreamingRows::fitBitmapToRequest(DibHandle dib, int, DibHandle* result)
{
    *result = dib;
    return SCAN_REPLY_SUCCESS;
}
