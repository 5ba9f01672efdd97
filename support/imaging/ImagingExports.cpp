// The exports of ZVP4_i__.dll, by ordinal (ZVP4_i__.def): the library's
// calls over the system's movable global memory. Nothing may throw out of
// them: each goes through the data source's boundary guard.
#include <windows.h>

#include "CallBoundary.h"
#include "GlobalMemoryBlocks_win.h"
#include "ImagingCalls.h"
#include "UnloadableModule_win.h"

namespace {
GlobalMemoryBlocks memory;
ImagingCalls calls(memory);

// Memory running short is the library's own out-of-memory result.
int32_t failed(BoundaryFailure failure)
{
    return failure == BoundaryFailure::lowMemory ? IMAGING_NO_MEMORY : IMAGING_INVALID_ARGUMENT;
}
}

extern "C" {

int32_t IMAGING_CALL ImagingBitmapFromDib(ImagingBitmapDescriptor* bitmap, uint32_t descriptorSize, void* dib)
{
    return callAtBoundary([&] { return calls.bitmapFromDib(bitmap, descriptorSize, dib); }, failed);
}

void* IMAGING_CALL ImagingDibFromBitmap(ImagingBitmapDescriptor* bitmap, uint32_t flags)
{
    return callAtBoundary([&] { return calls.dibFromBitmap(bitmap, flags); },
                          [](BoundaryFailure) -> void* { return nullptr; });
}

int32_t IMAGING_CALL ImagingResizeBitmap(ImagingBitmapDescriptor* bitmap, int32_t width, int32_t height,
                                         uint32_t flags)
{
    return callAtBoundary([&] { return calls.resize(bitmap, width, height, flags); }, failed);
}

int32_t IMAGING_CALL ImagingPrepareMemoryTransfer(ImagingBitmapDescriptor* bitmap)
{
    return callAtBoundary([&] { return calls.prepareMemoryTransfer(bitmap); }, failed);
}

int32_t IMAGING_CALL ImagingSaveFile(const char* path, ImagingBitmapDescriptor* bitmap, int32_t format,
                                     int32_t bitsPerPixel, int32_t qualityFactor, const ImagingSaveOptions* options)
{
    return callAtBoundary(
        [&] { return calls.saveFile(path, bitmap, format, bitsPerPixel, qualityFactor, options); }, failed);
}

int32_t IMAGING_CALL ImagingLoadFile(const char* path, ImagingBitmapDescriptor* bitmap, uint32_t descriptorSize,
                                     int32_t bitsPerPixel, int32_t order, const void* loadOptions, void* fileInfo)
{
    return callAtBoundary(
        [&] { return calls.loadFile(path, bitmap, descriptorSize, bitsPerPixel, order, loadOptions, fileInfo); },
        failed);
}
}

// The data source loads this library for its scans and unloads it when its
// session closes.
extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved)
{
    if (reason == DLL_PROCESS_DETACH && !reserved)
        releaseStaticRuntimeOnUnload();
    return TRUE;
}
