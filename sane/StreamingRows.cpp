#include "StreamingRows.h"

#include "BitmapBuilding.h"
#include "ScanReplyResult.h"

void packSaneLineArt(const uint8_t* grey, int width, int threshold, uint8_t* packed)
{
    // The source packs 1 for white and turns the bits over for its bitmap,
    // whose palette entry 1 is black; SANE's 1 is black already.
    int bytes = packLineArtRow(grey, width, threshold, true, packed);
    if (width % 8 != 0)
        packed[bytes - 1] = static_cast<uint8_t>(packed[bytes - 1] & (0xFF00 >> (width % 8)));
}

DibHandle StreamingRows::createScanBitmap(const ScanParameters& parameters, const ScanImageGeometry& geometry)
{
    lineArt_ = geometry.pixelType == PIXEL_TYPE_BLACK_WHITE;
    threshold_ = parameters.threshold;
    packed_.assign(static_cast<size_t>(geometry.width + 7) / 8, 0);
    rows_ = 0;
    return this;
}

void StreamingRows::appendDecodedRow(const uint8_t* row, int count)
{
    if (count <= 0)
        return;
    ++rows_;
    if (lineArt_) {
        packSaneLineArt(row, count, threshold_, packed_.data());
        stream_.put(packed_.data(), packed_.size());
    } else {
        stream_.put(row, static_cast<size_t>(count));
    }
}

int StreamingRows::fitBitmapToRequest(DibHandle dib, int, DibHandle* result)
{
    *result = dib;
    return SCAN_REPLY_SUCCESS;
}
