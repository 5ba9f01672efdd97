// The exports of ZVP4_i__.dll, by ordinal (ZVP4_i__.def): the library's
// calls over the system's movable global memory. Nothing may throw out of
// them, so the last guard is here.
#include <windows.h>

#include "GlobalMemoryBlocks_win.h"
#include "ImagingCalls.h"

namespace {
GlobalMemoryBlocks memory;
ImagingCalls calls(memory);
}

extern "C" {

int32_t IMAGING_CALL ImagingBitmapFromDib(ImagingBitmapDescriptor* bitmap,
                                                                 uint32_t descriptorSize, void* dib)
{
    try {
        return calls.bitmapFromDib(bitmap, descriptorSize, dib);
    } catch (...) {
        return IMAGING_NO_MEMORY;
    }
}

void* IMAGING_CALL ImagingDibFromBitmap(ImagingBitmapDescriptor* bitmap, uint32_t flags)
{
    try {
        return calls.dibFromBitmap(bitmap, flags);
    } catch (...) {
        return nullptr;
    }
}

int32_t IMAGING_CALL ImagingResizeBitmap(ImagingBitmapDescriptor* bitmap, int32_t width,
                                                                int32_t height, uint32_t flags)
{
    try {
        return calls.resize(bitmap, width, height, flags);
    } catch (...) {
        return IMAGING_NO_MEMORY;
    }
}

int32_t IMAGING_CALL ImagingPrepareMemoryTransfer(ImagingBitmapDescriptor* bitmap)
{
    try {
        return calls.prepareMemoryTransfer(bitmap);
    } catch (...) {
        return IMAGING_NO_MEMORY;
    }
}

int32_t IMAGING_CALL ImagingSaveFile(const char* path, ImagingBitmapDescriptor* bitmap,
                                                            int32_t format, int32_t bitsPerPixel,
                                                            int32_t qualityFactor, const ImagingSaveOptions* options)
{
    try {
        return calls.saveFile(path, bitmap, format, bitsPerPixel, qualityFactor, options);
    } catch (...) {
        return IMAGING_NO_MEMORY;
    }
}

int32_t IMAGING_CALL ImagingLoadFile(const char* path, ImagingBitmapDescriptor* bitmap,
                                                            uint32_t descriptorSize, int32_t bitsPerPixel,
                                                            int32_t order, const void* loadOptions, void* fileInfo)
{
    try {
        return calls.loadFile(path, bitmap, descriptorSize, bitsPerPixel, order, loadOptions, fileInfo);
    } catch (...) {
        return IMAGING_NO_MEMORY;
    }
}
}
