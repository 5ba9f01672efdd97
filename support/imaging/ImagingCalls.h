#pragma once
// The six calls of the imaging library on a descriptor, in portable code:
// ZVP4_i__.dll exports them over the system's global memory, native tests
// and tools call them in-process over a heap.
#include "ImagingInterface.h"
#include "MemoryBlocks.h"

class ImagingCalls {
public:
    explicit ImagingCalls(MemoryBlocks& memory) : memory_(memory) {}

    int32_t bitmapFromDib(ImagingBitmapDescriptor* bitmap, uint32_t descriptorSize, void* dib);           // 104
    void* dibFromBitmap(ImagingBitmapDescriptor* bitmap, uint32_t flags);                                 // 106
    int32_t resize(ImagingBitmapDescriptor* bitmap, int32_t width, int32_t height, uint32_t flags);       // 151
    int32_t prepareMemoryTransfer(ImagingBitmapDescriptor* bitmap);                                       // 124
    int32_t saveFile(const char* path, ImagingBitmapDescriptor* bitmap, int32_t format, int32_t bitsPerPixel,
                     int32_t qualityFactor, const ImagingSaveOptions* options);                           // 103
    int32_t loadFile(const char* path, ImagingBitmapDescriptor* bitmap, uint32_t descriptorSize,
                     int32_t bitsPerPixel, int32_t order, const void* loadOptions, void* fileInfo);       // 101

    // Releases a bitmap without making a DIB of it (a descriptor that holds
    // none is left alone).
    void releaseBitmap(ImagingBitmapDescriptor* bitmap);

private:
    MemoryBlocks& memory_;
};
