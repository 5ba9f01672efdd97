#pragma once
// Binding of ZVP4_i__.dll, the imaging library, loaded from the source's own
// folder and called by ordinal (104, 106, 124, 151 and the file calls 103, 101).
#include <windows.h>

#include "BitmapBuilding.h"
#include "GlobalMemoryBlocks_win.h"
#include "ImagingLibrary.h"

// Loads the library beside sourceModule (once) and binds the six ordinals;
// false when the file or an ordinal is missing.
bool LoadImagingLibrary(HMODULE sourceModule);
void UnloadImagingLibrary();
bool imagingLibraryLoaded();

// The bound library. While it is not loaded every call fails
// (IMAGING_NO_BITMAP, or a null DIB).
ImagingLibrary& boundImagingLibrary();
MemoryBlocks& globalMemoryBlocks();

// SaveImageFile of the file transfer and the preview, through the bound library.
int SaveImageFile(HGLOBAL dib, int format, const char* path, int jpegQuality);
// The preview image file read back as a DIB; null when missing or unreadable.
HGLOBAL LoadImageFileAsDib(const char* path);

// Bitmap building's platform: GetTempPathA/GetTempFileNameA, the "MSO.DLL"
// check, and the source's warning boxes owned by owner.
class Win32BitmapPlatform : public BitmapPlatform {
public:
    explicit Win32BitmapPlatform(HWND owner) : owner_(owner) {}
    bool newTemporaryFileName(std::string& path) override;
    bool moduleLoaded(const char* name) override;
    void showWarning(unsigned stringId, bool show) override;
    void showPlainWarning(unsigned stringId, int resultCode, int line, const char* sourceName) override;

private:
    HWND owner_;
};
