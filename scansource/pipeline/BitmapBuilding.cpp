#include "BitmapBuilding.h"

#include "BitmapStringIds.h"
#include "DeliveredImage.h"
#include "ScanReplyResult.h"

#include <algorithm>
#include <cstring>

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

int packLineArtRow(const uint8_t* grey, int count, int threshold, bool invert, uint8_t* packed)
{
    int bytes = 0;
    for (int start = 0; start < count; start += 8) {
        uint8_t value = 0;
        const int end = std::min(count, start + 8);
        for (int i = start; i < end; ++i)
            if (static_cast<int>(grey[i]) > threshold)
                value |= static_cast<uint8_t>(0x80 >> (i - start));
        packed[bytes++] = invert ? static_cast<uint8_t>(~value) : value;
    }
    return bytes;
}

ScanBitmapBuilder::ScanBitmapBuilder(const ScanParameters& parameters, const ScanGeometry& geometry,
                                     MemoryBlocks& memory, ImagingLibrary& imaging, BitmapPlatform& platform)
    : parameters_(parameters), geometry_(geometry), memory_(memory), imaging_(imaging), platform_(platform)
{
    layoutValid_ = geometry_.height > 0 && dibLayoutFor(parameters_.pixelType, geometry_.width, layout_);
}

ScanBitmapBuilder::~ScanBitmapBuilder()
{
    releaseStore();
    closeDataStore();
}

DibHandle ScanBitmapBuilder::createScanBitmap()
{
    if (!layoutValid_)
        return nullptr;
    const uint64_t imageSize = static_cast<uint64_t>(layout_.stride) * static_cast<uint32_t>(geometry_.height);
    const size_t headerSize = 40 + static_cast<size_t>(layout_.paletteEntries) * 4;
    // biSizeImage is 32 bits, and the store is twice it.
    if (imageSize > 0x7fffffffu)
        return nullptr;
    DibHandle dib = memory_.allocate(headerSize + static_cast<size_t>(imageSize), true);
    if (!dib)
        return nullptr;
    LockedBlock locked(memory_, dib);
    uint8_t* header = locked.bytes();
    if (!header) {
        memory_.release(dib);
        return nullptr;
    }
    const bool msoLoaded = layout_.paletteEntries > 0 && platform_.moduleLoaded("MSO.DLL");
    const int32_t pelsPerMetre = pelsPerMetreForDpi(geometry_.hdpi);
    put32(header, 40);
    put32(header + 4, static_cast<uint32_t>(geometry_.width));
    put32(header + 8, static_cast<uint32_t>(geometry_.height));
    put16(header + 12, 1);
    put16(header + 14, static_cast<uint16_t>(layout_.bitsPerPixel));
    put32(header + 16, 0);
    put32(header + 20, static_cast<uint32_t>(imageSize));
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
    std::memset(header + headerSize, layout_.initialPixelByte, static_cast<size_t>(imageSize));
    return dib;
}

bool ScanBitmapBuilder::openDataStore()
{
    releaseStore();
    closeDataStore();
    if (layoutValid_) {
        storeCapacity_ = 2 * static_cast<size_t>(layout_.stride) * static_cast<size_t>(geometry_.height);
        storeBlock_ = memory_.allocate(storeCapacity_, true);
        if (storeBlock_) {
            storeBytes_ = memory_.lock(storeBlock_);
            if (storeBytes_) {
                if (parameters_.pixelType != PIXEL_TYPE_BLACK_WHITE)
                    std::memset(storeBytes_, 0xff, storeCapacity_);
                return true;
            }
            memory_.release(storeBlock_);
            storeBlock_ = nullptr;
        }
    }
    std::string path;
    if (platform_.newTemporaryFileName(path)) {
        storeFile_ = std::fopen(path.c_str(), "wb");
        if (storeFile_) {
            storeFilePath_ = path;
            return true;
        }
        std::remove(path.c_str());
    }
    platform_.showWarning(IDS_ERROR_CANT_CREATE_DATA_FILE, true);
    return false;
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
    if (parameters_.pixelType != PIXEL_TYPE_BLACK_WHITE) {
        storeBytes(row, static_cast<size_t>(count));
        return;
    }
    packedRow_.resize((static_cast<size_t>(count) + 7) / 8);
    const int packed = packLineArtRow(row, count, parameters_.threshold, parameters_.invert != 0, packedRow_.data());
    storeBytes(packedRow_.data(), static_cast<size_t>(packed));
}

bool ScanBitmapBuilder::fillBitmapRows(DibHandle dib, int dibOrder)
{
    if (!layoutValid_) {
        platform_.showWarning(IDS_ERROR_INVALID_COLOR_FORMAT, false);
        releaseStore();
        return false;
    }
    if (storeFile_) {
        std::fclose(storeFile_);
        storeFile_ = std::fopen(storeFilePath_.c_str(), "rb");
        if (!storeFile_) {
            platform_.showWarning(IDS_ERROR_CANT_OPEN_DATA_FILE, true);
            return false;
        }
    }
    LockedBlock locked(memory_, dib);
    if (!locked.bytes()) {
        releaseStore();
        return false;
    }
    const size_t rowBytes = layout_.storedRowBytes;
    const size_t pixelOffset = 40 + static_cast<size_t>(layout_.paletteEntries) * 4;
    uint8_t* pixels = locked.bytes() + pixelOffset;
    // Only rows the scan delivered are copied: the rest stay as created,
    // white in every pixel type, from the memory and the file store alike.
    const size_t rows = std::min(static_cast<size_t>(geometry_.height), storeUsed_ / rowBytes);
    bool readBack = true;
    for (size_t i = 0; i < rows; ++i) {
        uint8_t* target = pixels + (static_cast<size_t>(geometry_.height) - 1 - i) * layout_.stride;
        if (storeBytes_) {
            std::memcpy(target, storeBytes_ + i * rowBytes, rowBytes);
        } else if (std::fread(target, 1, rowBytes, storeFile_) != rowBytes) {
            readBack = false;
            break;
        }
        if (dibOrder != 1)
            continue;
        if (parameters_.pixelType == PIXEL_TYPE_COLOUR) {
            for (size_t x = 0; x < rowBytes; x += 3)
                std::swap(target[x], target[x + 2]);
        } else if (parameters_.pixelType == PIXEL_TYPE_BLACK_WHITE) {
            for (size_t x = 0; x < rowBytes; ++x)
                target[x] = static_cast<uint8_t>(~target[x]);
        }
    }
    releaseStore();
    return readBack;
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
            memory_.release(dib);
            *result = nullptr;
            return SCAN_REPLY_NO_MEMORY;
        }
        bitmap.xResolution = resolution;
        bitmap.yResolution = resolution;
    }

    DibHandle fitted = imaging_.dibFromBitmap(&bitmap, 0);
    memory_.release(dib);
    *result = fitted;
    return fitted ? SCAN_REPLY_SUCCESS : SCAN_REPLY_NO_MEMORY;
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
