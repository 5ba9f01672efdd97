#pragma once
// The data source's view of the imaging library: the six calls by ordinal
// (see ImagingInterface.h for their arguments and results). The Win32 shell
// binds ZVP4_i__.dll; native tests and tools run the library in-process.
#include "HeapMemoryBlocks.h"
#include "ImagingCalls.h"
#include "ImagingInterface.h"

class ImagingLibrary {
public:
    virtual ~ImagingLibrary() = default;
    virtual int32_t bitmapFromDib(ImagingBitmapDescriptor* bitmap, uint32_t descriptorSize, void* dib) = 0;  // 104
    virtual void* dibFromBitmap(ImagingBitmapDescriptor* bitmap, uint32_t flags) = 0;                        // 106
    virtual int32_t resize(ImagingBitmapDescriptor* bitmap, int32_t width, int32_t height, uint32_t flags) = 0;  // 151
    virtual int32_t prepareMemoryTransfer(ImagingBitmapDescriptor* bitmap) = 0;                              // 124
    virtual int32_t saveFile(const char* path, ImagingBitmapDescriptor* bitmap, int32_t format,
                             int32_t bitsPerPixel, int32_t qualityFactor, const ImagingSaveOptions* options) = 0;  // 103
    virtual int32_t loadFile(const char* path, ImagingBitmapDescriptor* bitmap, uint32_t descriptorSize,
                             int32_t bitsPerPixel, int32_t order, const void* loadOptions, void* fileInfo) = 0;  // 101
};

// The library's code in this process, over the given memory blocks.
class InProcessImagingLibrary : public ImagingLibrary {
public:
    explicit InProcessImagingLibrary(MemoryBlocks& memory) : calls_(memory) {}
    int32_t bitmapFromDib(ImagingBitmapDescriptor* bitmap, uint32_t descriptorSize, void* dib) override
    {
        return calls_.bitmapFromDib(bitmap, descriptorSize, dib);
    }
    void* dibFromBitmap(ImagingBitmapDescriptor* bitmap, uint32_t flags) override
    {
        return calls_.dibFromBitmap(bitmap, flags);
    }
    int32_t resize(ImagingBitmapDescriptor* bitmap, int32_t width, int32_t height, uint32_t flags) override
    {
        return calls_.resize(bitmap, width, height, flags);
    }
    int32_t prepareMemoryTransfer(ImagingBitmapDescriptor* bitmap) override
    {
        return calls_.prepareMemoryTransfer(bitmap);
    }
    int32_t saveFile(const char* path, ImagingBitmapDescriptor* bitmap, int32_t format, int32_t bitsPerPixel,
                     int32_t qualityFactor, const ImagingSaveOptions* options) override
    {
        return calls_.saveFile(path, bitmap, format, bitsPerPixel, qualityFactor, options);
    }
    int32_t loadFile(const char* path, ImagingBitmapDescriptor* bitmap, uint32_t descriptorSize,
                     int32_t bitsPerPixel, int32_t order, const void* loadOptions, void* fileInfo) override
    {
        return calls_.loadFile(path, bitmap, descriptorSize, bitsPerPixel, order, loadOptions, fileInfo);
    }

private:
    ImagingCalls calls_;
};
