#include "MemoryDibSteps.h"

#include "ScanReplyResult.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr uint32_t kHeaderSize = 40;

void put16(uint8_t* p, uint32_t v)
{
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}
void put32(uint8_t* p, uint32_t v)
{
    put16(p, v);
    put16(p + 2, v >> 16);
}
uint32_t get32(const uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24; }

int bitCountFor(int pixelType) { return pixelType == PIXEL_TYPE_BLACK_WHITE ? 1 : pixelType == PIXEL_TYPE_GREY ? 8 : 24; }
int paletteEntries(int bitCount) { return bitCount == 1 ? 2 : bitCount == 8 ? 256 : 0; }
uint32_t strideFor(int width, int bitCount) { return (static_cast<uint32_t>(width) * bitCount + 31) / 32 * 4; }

// The pixel bytes are set to fill, unless the caller writes every row itself.
PackedDib* newDib(int width, int height, int bitCount, int dpi, uint8_t fill, bool initialise = true)
{
    uint32_t stride = strideFor(width, bitCount);
    uint32_t imageSize = stride * static_cast<uint32_t>(height);
    uint32_t palette = static_cast<uint32_t>(paletteEntries(bitCount)) * 4;
    auto* dib = new PackedDib(kHeaderSize + palette + imageSize);
    uint8_t* h = dib->data();
    if (initialise)
        std::memset(h + kHeaderSize + palette, fill, imageSize);
    std::memset(h, 0, kHeaderSize + palette);
    put32(h, kHeaderSize);
    put32(h + 4, static_cast<uint32_t>(width));
    put32(h + 8, static_cast<uint32_t>(height));
    put16(h + 12, 1);
    put16(h + 14, static_cast<uint32_t>(bitCount));
    put32(h + 20, imageSize);
    uint32_t pels = static_cast<uint32_t>(dpi * 100 * 0.39370078740157477);
    put32(h + 24, pels);
    put32(h + 28, pels);
    uint8_t* entries = h + kHeaderSize;
    if (bitCount == 1) {
        std::memset(entries, 255, 3);  // white, then black
    } else if (bitCount == 8) {
        for (int i = 0; i < 256; ++i)
            std::memset(entries + 4 * i, i, 3);
    }
    return dib;
}

}  // namespace

bool readDibInfo(const PackedDib& dib, DibInfo* info)
{
    if (dib.size() < kHeaderSize || get32(dib.data()) != kHeaderSize)
        return false;
    info->width = static_cast<int>(get32(dib.data() + 4));
    info->height = static_cast<int>(get32(dib.data() + 8));
    info->bitCount = dib[14] | dib[15] << 8;
    info->stride = strideFor(info->width, info->bitCount);
    info->pixelOffset = kHeaderSize + static_cast<uint32_t>(paletteEntries(info->bitCount)) * 4;
    return info->width > 0 && info->height > 0 &&
           dib.size() >= info->pixelOffset + static_cast<size_t>(info->stride) * info->height;
}

DibHandle MemoryDibSteps::createScanBitmap(const ScanParameters& parameters, const ScanImageGeometry& geometry)
{
    parameters_ = parameters;
    geometry_ = geometry;
    int bitCount = bitCountFor(geometry.pixelType);
    // Rows the scan does not deliver are set when the rows are filled in.
    dib_ = newDib(geometry.width, geometry.height, bitCount, geometry.hdpi, 0, false);
    rowsStored_ = 0;
    return dib_;
}

bool MemoryDibSteps::openDataStore()
{
    rowsStored_ = 0;
    return dib_ != nullptr;
}

void MemoryDibSteps::appendDecodedRow(const uint8_t* row, int count)
{
    DibInfo info;
    if (count <= 0 || !dib_ || rowsStored_ >= geometry_.height || !readDibInfo(*dib_, &info))
        return;
    uint8_t* target = dib_->data() + info.pixelOffset + info.stride * static_cast<size_t>(info.height - 1 - rowsStored_);
    ++rowsStored_;
    size_t bytes = std::min<size_t>(static_cast<size_t>(count), info.stride);
    if (geometry_.pixelType == PIXEL_TYPE_BLACK_WHITE)
        bytes = std::min<size_t>((static_cast<size_t>(count) + 7) / 8, info.stride);
    std::memset(target + bytes, initialPixelByte(), info.stride - bytes);
    if (geometry_.pixelType == PIXEL_TYPE_COLOUR && expectedDibOrder_ == 1) {
        for (size_t x = 0; x + 2 < bytes; x += 3) {
            target[x] = row[x + 2];
            target[x + 1] = row[x + 1];
            target[x + 2] = row[x];
        }
        return;
    }
    if (geometry_.pixelType != PIXEL_TYPE_BLACK_WHITE) {
        std::memcpy(target, row, bytes);
        return;
    }
    packed_.assign((static_cast<size_t>(count) + 7) / 8, 0);
    for (int i = 0; i < count; ++i)
        if (static_cast<int>(row[i]) > parameters_.threshold)
            packed_[i / 8] |= static_cast<uint8_t>(0x80 >> (i % 8));
    // DIB order inverts line art once more.
    if ((parameters_.invert != 0) != (expectedDibOrder_ == 1))
        for (uint8_t& b : packed_)
            b = static_cast<uint8_t>(~b);
    std::memcpy(target, packed_.data(), std::min<size_t>(packed_.size(), info.stride));
}

bool MemoryDibSteps::fillBitmapRows(DibHandle dib, int dibOrder)
{
    DibInfo info;
    if (dib != dib_ || !readDibInfo(*dib_, &info))
        return false;
    for (int y = rowsStored_; y < info.height; ++y)
        std::memset(dib_->data() + info.pixelOffset + info.stride * static_cast<size_t>(info.height - 1 - y),
                    initialPixelByte(), info.stride);
    convertRows(expectedDibOrder_ == 1 ? 1 : 0, dibOrder == 1 ? 1 : 0);
    return true;
}

// Both orders differ by the same exchange (colour) or inversion (line art).
void MemoryDibSteps::convertRows(int fromOrder, int toOrder)
{
    DibInfo info;
    if (fromOrder == toOrder || !readDibInfo(*dib_, &info))
        return;
    size_t rowBytes = info.bitCount == 1 ? (static_cast<size_t>(info.width) + 7) / 8
                                         : static_cast<size_t>(info.width) * (info.bitCount / 8);
    for (int y = 0; y < rowsStored_; ++y) {
        uint8_t* out = dib_->data() + info.pixelOffset + info.stride * static_cast<size_t>(info.height - 1 - y);
        if (info.bitCount == 24)
            for (size_t x = 0; x + 2 < rowBytes; x += 3)
                std::swap(out[x], out[x + 2]);
        else if (info.bitCount == 1)
            for (size_t x = 0; x < rowBytes; ++x)
                out[x] = static_cast<uint8_t>(~out[x]);
    }
}

int MemoryDibSteps::fitBitmapToRequest(DibHandle dib, int, DibHandle* result)
{
    const float r = 1.0f / 4800;
    const ScanParameters& p = parameters_;
    int width = static_cast<int>(p.resolution * (p.right - p.left) * r);
    int height = static_cast<int>(p.resolution * (p.bottom - p.top) * r);
    if (p.resolution == geometry_.hdpi && p.resolution == geometry_.vdpi && width == geometry_.width &&
        height == geometry_.height) {
        *result = dib;
        return SCAN_REPLY_SUCCESS;
    }
    PackedDib& from = bytes(dib);
    DibInfo in;
    if (width <= 0 || height <= 0 || !readDibInfo(from, &in)) {
        freeBitmap(dib);
        *result = nullptr;
        return SCAN_REPLY_NO_MEMORY;
    }
    PackedDib* to = newDib(width, height, in.bitCount, p.resolution, 0);
    DibInfo out;
    readDibInfo(*to, &out);
    for (int y = 0; y < height; ++y) {
        const uint8_t* src = from.data() + in.pixelOffset + in.stride * static_cast<size_t>(int64_t(y) * in.height / height);
        uint8_t* dst = to->data() + out.pixelOffset + out.stride * static_cast<size_t>(y);
        for (int x = 0; x < width; ++x) {
            int sx = static_cast<int>(int64_t(x) * in.width / width);
            if (in.bitCount == 24) {
                std::memcpy(dst + 3 * x, src + 3 * sx, 3);
            } else if (in.bitCount == 8) {
                dst[x] = src[sx];
            } else if (src[sx / 8] & (0x80 >> (sx % 8))) {
                dst[x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
            }
        }
    }
    freeBitmap(dib);
    *result = to;
    return SCAN_REPLY_SUCCESS;
}

void MemoryDibSteps::freeBitmap(DibHandle dib)
{
    if (dib == dib_)
        dib_ = nullptr;
    delete static_cast<PackedDib*>(dib);
}
