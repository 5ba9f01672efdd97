#include "BitmapBuilding.h"

#include "StringIds.h"
#include "DeliveredImage.h"
#include "ScanReplyResult.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <new>

namespace {

void put32(uint8_t* p, uint32_t value)
{
    p[0] = static_cast<uint8_t>(value);
    p[1] = static_cast<uint8_t>(value >> 8);
    p[2] = static_cast<uint8_t>(value >> 16);
    p[3] = static_cast<uint8_t>(value >> 24);
}

void put16(uint8_t* p, uint16_t value)
{
    p[0] = static_cast<uint8_t>(value);
    p[1] = static_cast<uint8_t>(value >> 8);
}

// The size the application was told of (DeliveredImage.h).
int requestedPixels(int resolution, int extent)
{
    return pixelsAtResolution(extent, resolution);
}

}

bool dibLayoutFor(int pixelType, int width, DibLayout& layout)
{
    if (width <= 0)
        return false;
    const uint32_t w = static_cast<uint32_t>(width);
    switch (pixelType) {
    case PIXEL_TYPE_BLACK_WHITE:
        layout = {1, 2, 4 * (((w + 7) / 8 + 3) / 4), (w + 7) / 8, 0x00};
        return true;
    case PIXEL_TYPE_GREY:
        layout = {8, 256, 4 * ((w + 3) / 4), w, 0xff};
        return true;
    case PIXEL_TYPE_COLOUR:
        layout = {24, 0, 4 * ((3 * w + 3) / 4), 3 * w, 0xff};
        return true;
    default:
        return false;
    }
}

int32_t pelsPerMetreForDpi(int dpi)
{
    return static_cast<int32_t>(dpi * 100.0 * 0.39370078740157477);
}

ScanBitmapBuilder::ScanBitmapBuilder(const ScanParameters& parameters, const ScanGeometry& geometry,
                                     MemoryBlocks& memory, ImagingLibrary& imaging, BitmapPlatform& platform)
    : parameters_(parameters), geometry_(geometry), memory_(memory), imaging_(imaging), platform_(platform)
{
    layoutValid_ = geometry_.height > 0 && dibLayoutFor(parameters_.pixelType, geometry_.width, layout_);
}

ScanBitmapBuilder::~ScanBitmapBuilder()
{
    unlockBitmap();
    releaseStore();
    closeDataStore();
}

size_t ScanBitmapBuilder::headerSize() const
{
    return 40 + static_cast<size_t>(layout_.paletteEntries) * 4;
}

size_t ScanBitmapBuilder::imageSize() const
{
    return static_cast<size_t>(layout_.stride) * static_cast<size_t>(geometry_.height);
}

void ScanBitmapBuilder::writeHeader(uint8_t* header)
{
    const bool msoLoaded = layout_.paletteEntries > 0 && platform_.moduleLoaded("MSO.DLL");
    const int32_t pelsPerMetre = pelsPerMetreForDpi(geometry_.hdpi);
    put32(header, 40);
    put32(header + 4, static_cast<uint32_t>(geometry_.width));
    put32(header + 8, static_cast<uint32_t>(geometry_.height));
    put16(header + 12, 1);
    put16(header + 14, static_cast<uint16_t>(layout_.bitsPerPixel));
    put32(header + 16, 0);
    put32(header + 20, static_cast<uint32_t>(imageSize()));
    put32(header + 24, static_cast<uint32_t>(pelsPerMetre));
    put32(header + 28, static_cast<uint32_t>(pelsPerMetre));
    // Office's import takes the DIB only with these counts (255, not 256).
    put32(header + 32, msoLoaded ? (layout_.paletteEntries == 2 ? 2u : 255u) : 0u);
    put32(header + 36, 0);
    uint8_t* palette = header + 40;
    if (layout_.paletteEntries == 2) {
        const uint8_t entries[8] = {255, 255, 255, 0, 0, 0, 0, 0};
        std::memcpy(palette, entries, sizeof entries);
    } else {
        for (int i = 0; i < layout_.paletteEntries; ++i) {
            uint8_t* entry = palette + i * 4;
            entry[0] = entry[1] = entry[2] = static_cast<uint8_t>(i);
            entry[3] = 0;
        }
    }
}

// Rows are bottom-up: the first row of the scan is the last in memory.
uint8_t* ScanBitmapBuilder::rowInBitmap(uint8_t* pixels, size_t row) const
{
    return pixels + (static_cast<size_t>(geometry_.height) - 1 - row) * layout_.stride;
}

void ScanBitmapBuilder::padRow(uint8_t* target) const
{
    std::memset(target + layout_.storedRowBytes, layout_.initialPixelByte, layout_.stride - layout_.storedRowBytes);
}

// A row as decoded (colour R, G, B) or as stored (line art packed) into the
// byte order of the DIB.
void ScanBitmapBuilder::toDibOrder(uint8_t* target) const
{
    if (dibOrder_ != 1)
        return;
    if (parameters_.pixelType == PIXEL_TYPE_COLOUR) {
        for (size_t x = 0; x + 2 < layout_.storedRowBytes; x += 3)
            std::swap(target[x], target[x + 2]);
    } else if (parameters_.pixelType == PIXEL_TYPE_BLACK_WHITE) {
        for (size_t x = 0; x < layout_.storedRowBytes; ++x)
            target[x] = static_cast<uint8_t>(~target[x]);
    }
}

// Every byte of the image is written once, by the rows, their padding or
// the white of rows never delivered: the block is not cleared first.
DibHandle ScanBitmapBuilder::createScanBitmap(int dibOrder)
{
    if (!layoutValid_)
        return nullptr;
    // biSizeImage is 32 bits, and 32-bit hosts cannot hold more.
    if (static_cast<uint64_t>(layout_.stride) * static_cast<uint32_t>(geometry_.height) > 0x7fffffffu)
        return nullptr;
    dibOrder_ = dibOrder;
    placedBlueFirst_ = parameters_.pixelType == PIXEL_TYPE_COLOUR && dibOrder == 1;
    DibHandle dib = memory_.allocate(headerSize() + imageSize(), false);
    if (dib) {
        uint8_t* bytes = memory_.lock(dib);
        if (!bytes) {
            memory_.release(dib);
            return nullptr;
        }
        writeHeader(bytes);
        dib_ = dib;
        pixels_ = bytes + headerSize();
        return dib;
    }
    // Short of memory for the image: its rows wait in a store, and the DIB
    // grows to its full size once they are all in.
    dib = memory_.allocate(headerSize(), false);
    bool written = false;
    if (dib) {
        LockedBlock locked(memory_, dib);
        if (locked.bytes()) {
            writeHeader(locked.bytes());
            written = true;
        }
    }
    if (!written || !makeStore()) {
        memory_.release(dib);
        return nullptr;
    }
    dib_ = dib;
    headerOnly_ = true;
    return dib;
}

bool ScanBitmapBuilder::openDataStore()
{
    if (pixels_ || storeBytes_ || storeFile_)
        return true;
    if (makeStore())
        return true;
    platform_.showWarning(IDS_ERROR_CANT_CREATE_DATA_FILE, true);
    return false;
}

// Nothing here throws: the store is made when memory is already short, and
// a store that cannot be had is a failure result, not an unwinding scan.
bool ScanBitmapBuilder::makeStore()
{
    if (!layoutValid_)
        return makeStoreFile();
    try {
        // Line art is packed here on its way into the store.
        if (parameters_.pixelType == PIXEL_TYPE_BLACK_WHITE)
            packedRow_.resize(layout_.storedRowBytes);
    } catch (const std::bad_alloc&) {
        return false;
    }
    storeCapacity_ = static_cast<size_t>(layout_.storedRowBytes) * static_cast<size_t>(geometry_.height);
    storeBlock_ = memory_.allocate(storeCapacity_, false);
    if (storeBlock_) {
        storeBytes_ = memory_.lock(storeBlock_);
        if (storeBytes_)
            return true;
        memory_.release(storeBlock_);
        storeBlock_ = nullptr;
    }
    return makeStoreFile();
}

bool ScanBitmapBuilder::makeStoreFile()
{
    try {
        std::string path;
        if (!platform_.newTemporaryFileName(path))
            return false;
        storeFilePath_ = path;
    } catch (const std::exception&) {
        storeFilePath_.clear();
        return false;
    }
    storeFile_ = std::fopen(storeFilePath_.c_str(), "wb");
    if (storeFile_)
        return true;
    std::remove(storeFilePath_.c_str());
    storeFilePath_.clear();
    return false;
}

uint8_t* ScanBitmapBuilder::nextRowPlace()
{
    if (!pixels_ || parameters_.pixelType == PIXEL_TYPE_BLACK_WHITE ||
        rowsInBitmap_ >= static_cast<size_t>(geometry_.height))
        return nullptr;
    return rowInBitmap(pixels_, rowsInBitmap_);
}

void ScanBitmapBuilder::storeBytes(const uint8_t* bytes, size_t count)
{
    if (storeBytes_) {
        // A decoder that produced more than the image holds is cut off here.
        const size_t room = storeCapacity_ - storeUsed_;
        const size_t taken = std::min(room, count);
        std::memcpy(storeBytes_ + storeUsed_, bytes, taken);
        storeUsed_ += taken;
    } else if (storeFile_) {
        storeUsed_ += std::fwrite(bytes, 1, count, storeFile_);
    }
}

void ScanBitmapBuilder::appendDecodedRow(const uint8_t* row, int count)
{
    if (!row || count <= 0)
        return;
    const bool lineArt = parameters_.pixelType == PIXEL_TYPE_BLACK_WHITE;
    if (!pixels_) {
        // The store keeps the rows as the scan delivered them.
        if (!lineArt) {
            storeBytes(row, static_cast<size_t>(count));
            return;
        }
        const int pixels = std::min(count, geometry_.width);
        const int packed =
            packLineArtRow(row, pixels, parameters_.threshold, parameters_.invert != 0, packedRow_.data());
        storeBytes(packedRow_.data(), static_cast<size_t>(packed));
        return;
    }
    // A decoder that produced more than the image holds is cut off here.
    if (rowsInBitmap_ >= static_cast<size_t>(geometry_.height))
        return;
    uint8_t* target = rowInBitmap(pixels_, rowsInBitmap_);
    size_t written = layout_.storedRowBytes;
    if (lineArt) {
        // Packed straight into the DIB, turned over there for dibOrder 1.
        const int pixels = std::min(count, geometry_.width);
        const bool invert = (parameters_.invert != 0) != (dibOrder_ == 1);
        written = static_cast<size_t>(packLineArtRow(row, pixels, parameters_.threshold, invert, target));
    } else if (row != target) {
        written = std::min(written, static_cast<size_t>(count));
        std::memcpy(target, row, written);
        toDibOrder(target);
    }
    // What a short row left out stays white.
    std::memset(target + written, layout_.initialPixelByte, layout_.storedRowBytes - written);
    padRow(target);
    ++rowsInBitmap_;
}

ScanBitmapBuilder::Filled ScanBitmapBuilder::fillBitmapRows(DibHandle& dib)
{
    if (!layoutValid_) {
        platform_.showWarning(IDS_ERROR_INVALID_COLOR_FORMAT, false);
        releaseStore();
        return Filled::unreadable;
    }
    if (headerOnly_)
        return fillFromStore(dib);
    if (!pixels_) {
        releaseStore();
        return Filled::unreadable;
    }
    // Rows the scan did not deliver are the top of the bitmap's memory.
    const size_t missing = static_cast<size_t>(geometry_.height) - rowsInBitmap_;
    std::memset(pixels_, layout_.initialPixelByte, missing * layout_.stride);
    rowsInBitmap_ = static_cast<size_t>(geometry_.height);
    unlockBitmap();
    dib = dib_;
    return Filled::complete;
}

// The DIB of the header alone grown to the image, from the rows the store
// holds; it keeps its header.
ScanBitmapBuilder::Filled ScanBitmapBuilder::fillFromStore(DibHandle& dib)
{
    if (storeFile_) {
        std::fclose(storeFile_);
        storeFile_ = std::fopen(storeFilePath_.c_str(), "rb");
        if (!storeFile_) {
            platform_.showWarning(IDS_ERROR_CANT_OPEN_DATA_FILE, true);
            return Filled::unreadable;
        }
    }
    DibHandle full = memory_.allocate(headerSize() + imageSize(), false);
    uint8_t* bytes = full ? memory_.lock(full) : nullptr;
    if (!bytes) {
        memory_.release(full);
        releaseStore();
        platform_.showWarning(IDS_ERROR_NO_MEMORY_FOR_DIB, true);
        return Filled::noMemory;
    }
    {
        LockedBlock header(memory_, dib_);
        std::memcpy(bytes, header.bytes(), headerSize());
    }
    uint8_t* pixels = bytes + headerSize();
    const size_t rowBytes = layout_.storedRowBytes;
    const size_t rows = std::min(static_cast<size_t>(geometry_.height), storeUsed_ / rowBytes);
    bool readBack = true;
    for (size_t i = 0; i < rows && readBack; ++i) {
        uint8_t* target = rowInBitmap(pixels, i);
        if (storeBytes_)
            std::memcpy(target, storeBytes_ + i * rowBytes, rowBytes);
        else
            readBack = std::fread(target, 1, rowBytes, storeFile_) == rowBytes;
        toDibOrder(target);
        padRow(target);
    }
    releaseStore();
    if (!readBack) {
        memory_.unlock(full);
        memory_.release(full);
        return Filled::unreadable;
    }
    std::memset(pixels, layout_.initialPixelByte, (static_cast<size_t>(geometry_.height) - rows) * layout_.stride);
    memory_.unlock(full);
    memory_.release(dib_);
    dib_ = full;
    dib = full;
    headerOnly_ = false;
    return Filled::complete;
}

int ScanBitmapBuilder::fitBitmapToRequest(DibHandle dib, int forMemoryTransfer, DibHandle* result)
{
    const int resolution = parameters_.resolution;
    const int targetWidth = requestedPixels(resolution, parameters_.right - parameters_.left);
    const int targetHeight = requestedPixels(resolution, parameters_.bottom - parameters_.top);
    const bool rightSize = resolution == geometry_.hdpi && resolution == geometry_.vdpi &&
        targetWidth == geometry_.width && targetHeight == geometry_.height;
    if (forMemoryTransfer == 0 && rightSize) {
        *result = dib;
        return SCAN_REPLY_SUCCESS;
    }

    ImagingBitmapDescriptor bitmap{};
    int code = imaging_.bitmapFromDib(&bitmap, IMAGING_DESCRIPTOR_SIZE, dib);
    if (code == IMAGING_SUCCESS) {
        // The library holds its own copy of the image from here on: the
        // scanned one goes before the library makes the final DIB, so that
        // a large image is never held three times.
        memory_.release(dib);
        dib = nullptr;
    }
    int failedLine = 0;
    if (code != IMAGING_SUCCESS) {
        failedLine = code == IMAGING_NO_MEMORY ? 1412 : 1414;
    } else if (forMemoryTransfer == 1) {
        code = imaging_.prepareMemoryTransfer(&bitmap);
        if (code != IMAGING_SUCCESS)
            failedLine = code == IMAGING_NO_MEMORY ? 1402 : 1404;
    }
    if (failedLine != 0) {
        platform_.showPlainWarning(code == IMAGING_NO_MEMORY ? IDS_ERROR_NO_MEMORY_FOR_DIB
                                                             : IDS_ERROR_UNKNOWN_IMAGING_FAILURE,
                                   code, failedLine, "scanner");
        memory_.release(imaging_.dibFromBitmap(&bitmap, 0));
        memory_.release(dib);
        *result = nullptr;
        return SCAN_REPLY_NO_MEMORY;
    }

    if (!rightSize) {
        code = imaging_.resize(&bitmap, targetWidth, targetHeight, 0);
        if (code != IMAGING_SUCCESS) {
            platform_.showPlainWarning(code == IMAGING_NO_MEMORY ? IDS_ERROR_NO_MEMORY_FOR_DIB
                                                                 : IDS_ERROR_UNKNOWN_IMAGING_FAILURE,
                                       code, code == IMAGING_NO_MEMORY ? 1441 : 1443, "scanner");
            // The bitmap at the scanned size is not the image the application
            // was told of (DAT_IMAGEINFO); it may have sized its buffers by it.
            memory_.release(imaging_.dibFromBitmap(&bitmap, 0));
            *result = nullptr;
            return SCAN_REPLY_NO_MEMORY;
        }
        bitmap.xResolution = resolution;
        bitmap.yResolution = resolution;
    }

    DibHandle fitted = imaging_.dibFromBitmap(&bitmap, 0);
    *result = fitted;
    return fitted ? SCAN_REPLY_SUCCESS : SCAN_REPLY_NO_MEMORY;
}

void ScanBitmapBuilder::unlockBitmap()
{
    if (pixels_)
        memory_.unlock(dib_);
    pixels_ = nullptr;
}

void ScanBitmapBuilder::releaseStore()
{
    if (storeBlock_) {
        if (storeBytes_)
            memory_.unlock(storeBlock_);
        memory_.release(storeBlock_);
    }
    storeBlock_ = nullptr;
    storeBytes_ = nullptr;
    storeCapacity_ = 0;
}

void ScanBitmapBuilder::closeDataStore()
{
    if (storeFile_) {
        std::fclose(storeFile_);
        storeFile_ = nullptr;
    }
    if (!storeFilePath_.empty()) {
        std::remove(storeFilePath_.c_str());
        storeFilePath_.clear();
    }
    storeUsed_ = 0;
}
