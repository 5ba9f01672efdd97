#include "shell/ImagingLibraryBinding_win.h"

#include <string.h>

#include "ImageFileSave.h"
#include "shell/ShellState.h"

namespace {

ImagingLibraryBinding& binding()
{
    return shellState().imagingLibrary;
}

FARPROC ordinal(HMODULE module, WORD number)
{
    return GetProcAddress(module, MAKEINTRESOURCEA(number));
}

template <typename Proc>
Proc typed(FARPROC entry)
{
    return reinterpret_cast<Proc>(reinterpret_cast<void*>(entry));
}

class BoundImagingLibrary : public ImagingLibrary {
public:
    int32_t bitmapFromDib(ImagingBitmapDescriptor* bitmap, uint32_t size, void* dib) override
    {
        return ready() ? typed<ImagingBitmapFromDibProc>(binding().bitmapFromDib)(bitmap, size, dib)
                       : IMAGING_NO_BITMAP;
    }
    void* dibFromBitmap(ImagingBitmapDescriptor* bitmap, uint32_t flags) override
    {
        return ready() ? typed<ImagingDibFromBitmapProc>(binding().dibFromBitmap)(bitmap, flags) : nullptr;
    }
    int32_t resize(ImagingBitmapDescriptor* bitmap, int32_t width, int32_t height, uint32_t flags) override
    {
        return ready() ? typed<ImagingResizeProc>(binding().resize)(bitmap, width, height, flags) : IMAGING_NO_BITMAP;
    }
    int32_t prepareMemoryTransfer(ImagingBitmapDescriptor* bitmap) override
    {
        return ready() ? typed<ImagingPrepareMemoryTransferProc>(binding().prepareMemoryTransfer)(bitmap)
                       : IMAGING_NO_BITMAP;
    }
    int32_t saveFile(const char* path, ImagingBitmapDescriptor* bitmap, int32_t format, int32_t bitsPerPixel,
                     int32_t qualityFactor, const ImagingSaveOptions* options) override
    {
        return ready() ? typed<ImagingSaveFileProc>(binding().saveFile)(path, bitmap, format, bitsPerPixel,
                                                                        qualityFactor, options)
                       : IMAGING_NO_BITMAP;
    }
    int32_t loadFile(const char* path, ImagingBitmapDescriptor* bitmap, uint32_t size, int32_t bitsPerPixel,
                     int32_t order, const void* loadOptions, void* fileInfo) override
    {
        return ready() ? typed<ImagingLoadFileProc>(binding().loadFile)(path, bitmap, size, bitsPerPixel, order,
                                                                        loadOptions, fileInfo)
                       : IMAGING_NO_BITMAP;
    }

private:
    // Bound once, from the folder of the module that holds this code.
    static bool ready()
    {
        ImagingLibraryBinding& bound = binding();
        if (bound.module || bound.loadAttempted)
            return bound.module != nullptr;
        bound.loadAttempted = true;
        HMODULE self = nullptr;
        if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                                reinterpret_cast<LPCSTR>(&bound), &self))
            return false;
        return LoadImagingLibrary(self);
    }
};

BoundImagingLibrary boundLibrary;
GlobalMemoryBlocks globalBlocks;

}

bool LoadImagingLibrary(HMODULE sourceModule)
{
    if (binding().module)
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
    ImagingLibraryBinding bound;
    bound.module = module;
    bound.loadFile = ordinal(module, IMAGING_ORDINAL_LOAD_FILE);
    bound.saveFile = ordinal(module, IMAGING_ORDINAL_SAVE_FILE);
    bound.bitmapFromDib = ordinal(module, IMAGING_ORDINAL_BITMAP_FROM_DIB);
    bound.dibFromBitmap = ordinal(module, IMAGING_ORDINAL_DIB_FROM_BITMAP);
    bound.prepareMemoryTransfer = ordinal(module, IMAGING_ORDINAL_PREPARE_MEMORY_TRANSFER);
    bound.resize = ordinal(module, IMAGING_ORDINAL_RESIZE);
    if (!bound.loadFile || !bound.saveFile || !bound.bitmapFromDib || !bound.dibFromBitmap ||
        !bound.prepareMemoryTransfer || !bound.resize) {
        FreeLibrary(module);
        return false;
    }
    bound.loadAttempted = binding().loadAttempted;
    binding() = bound;
    return true;
}

HMODULE imagingLibraryModule()
{
    return binding().module;
}

void UnloadImagingLibrary()
{
    if (binding().module)
        FreeLibrary(binding().module);
    binding() = ImagingLibraryBinding{};
}

bool imagingLibraryLoaded()
{
    return binding().module != nullptr;
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
