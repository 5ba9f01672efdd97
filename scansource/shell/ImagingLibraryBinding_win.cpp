#include "shell/ImagingLibraryBinding_win.h"

#include <string.h>

#include "ImageFileSave.h"

namespace {

struct BoundEntries {
    HMODULE module = nullptr;
    ImagingBitmapFromDibProc bitmapFromDib = nullptr;
    ImagingDibFromBitmapProc dibFromBitmap = nullptr;
    ImagingResizeProc resize = nullptr;
    ImagingPrepareMemoryTransferProc prepareMemoryTransfer = nullptr;
    ImagingSaveFileProc saveFile = nullptr;
    ImagingLoadFileProc loadFile = nullptr;
};

BoundEntries entries;
bool loadAttempted = false;

template <typename Proc>
Proc ordinal(HMODULE module, WORD number)
{
    return reinterpret_cast<Proc>(reinterpret_cast<void*>(GetProcAddress(module, MAKEINTRESOURCEA(number))));
}

class BoundImagingLibrary : public ImagingLibrary {
public:
    int32_t bitmapFromDib(ImagingBitmapDescriptor* bitmap, uint32_t size, void* dib) override
    {
        return ready() ? entries.bitmapFromDib(bitmap, size, dib) : IMAGING_NO_BITMAP;
    }
    void* dibFromBitmap(ImagingBitmapDescriptor* bitmap, uint32_t flags) override
    {
        return ready() ? entries.dibFromBitmap(bitmap, flags) : nullptr;
    }
    int32_t resize(ImagingBitmapDescriptor* bitmap, int32_t width, int32_t height, uint32_t flags) override
    {
        return ready() ? entries.resize(bitmap, width, height, flags) : IMAGING_NO_BITMAP;
    }
    int32_t prepareMemoryTransfer(ImagingBitmapDescriptor* bitmap) override
    {
        return ready() ? entries.prepareMemoryTransfer(bitmap) : IMAGING_NO_BITMAP;
    }
    int32_t saveFile(const char* path, ImagingBitmapDescriptor* bitmap, int32_t format, int32_t bitsPerPixel,
                     int32_t qualityFactor, const ImagingSaveOptions* options) override
    {
        return ready() ? entries.saveFile(path, bitmap, format, bitsPerPixel, qualityFactor, options)
                       : IMAGING_NO_BITMAP;
    }
    int32_t loadFile(const char* path, ImagingBitmapDescriptor* bitmap, uint32_t size, int32_t bitsPerPixel,
                     int32_t order, const void* loadOptions, void* fileInfo) override
    {
        return ready() ? entries.loadFile(path, bitmap, size, bitsPerPixel, order, loadOptions, fileInfo)
                       : IMAGING_NO_BITMAP;
    }

private:
    // Bound once, from the folder of the module that holds this code.
    static bool ready()
    {
        if (entries.module || loadAttempted)
            return entries.module != nullptr;
        loadAttempted = true;
        HMODULE self = nullptr;
        if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                                reinterpret_cast<LPCSTR>(&entries), &self))
            return false;
        return LoadImagingLibrary(self);
    }
};

BoundImagingLibrary boundLibrary;
GlobalMemoryBlocks globalBlocks;

}

bool LoadImagingLibrary(HMODULE sourceModule)
{
    if (entries.module)
        return true;
    char path[MAX_PATH + 2];
    DWORD length = GetModuleFileNameA(sourceModule, path, MAX_PATH + 1);
    if (length == 0 || length > MAX_PATH)
        return false;
    char* lastSeparator = strrchr(path, '\\');
    if (lastSeparator)
        lastSeparator[1] = '\0';
    else
        path[0] = '\0';
    const char name[] = "ZVP4_i__.dll";
    if (strlen(path) + sizeof name > sizeof path)
        return false;
    strcat(path, name);
    HMODULE module = LoadLibraryA(path);
    if (!module)
        return false;
    BoundEntries bound;
    bound.module = module;
    bound.loadFile = ordinal<ImagingLoadFileProc>(module, IMAGING_ORDINAL_LOAD_FILE);
    bound.saveFile = ordinal<ImagingSaveFileProc>(module, IMAGING_ORDINAL_SAVE_FILE);
    bound.bitmapFromDib = ordinal<ImagingBitmapFromDibProc>(module, IMAGING_ORDINAL_BITMAP_FROM_DIB);
    bound.dibFromBitmap = ordinal<ImagingDibFromBitmapProc>(module, IMAGING_ORDINAL_DIB_FROM_BITMAP);
    bound.prepareMemoryTransfer =
        ordinal<ImagingPrepareMemoryTransferProc>(module, IMAGING_ORDINAL_PREPARE_MEMORY_TRANSFER);
    bound.resize = ordinal<ImagingResizeProc>(module, IMAGING_ORDINAL_RESIZE);
    if (!bound.loadFile || !bound.saveFile || !bound.bitmapFromDib || !bound.dibFromBitmap ||
        !bound.prepareMemoryTransfer || !bound.resize) {
        FreeLibrary(module);
        return false;
    }
    entries = bound;
    return true;
}

HMODULE imagingLibraryModule()
{
    return entries.module;
}

void UnloadImagingLibrary()
{
    if (entries.module)
        FreeLibrary(entries.module);
    entries = BoundEntries{};
    loadAttempted = false;
}

bool imagingLibraryLoaded()
{
    return entries.module != nullptr;
}

ImagingLibrary& boundImagingLibrary()
{
    return boundLibrary;
}

MemoryBlocks& globalMemoryBlocks()
{
    return globalBlocks;
}

int SaveImageFile(HGLOBAL dib, int format, const char* path, int jpegQuality)
{
    return SaveImageFile(boundLibrary, globalBlocks, dib, format, path, jpegQuality);
}

HGLOBAL LoadImageFileAsDib(const char* path)
{
    return LoadImageFileAsDib(boundLibrary, path);
}
