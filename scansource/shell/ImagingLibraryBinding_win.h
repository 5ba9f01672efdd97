#pragma once
// Binding of ZVP4_i__.dll, the imaging library, loaded from the source's own
// folder and called by ordinal (104, 106, 124, 151 and the file calls 103, 101).
#include <windows.h>

#include "GlobalMemoryBlocks_win.h"
#include "ImagingLibrary.h"

// Loads the library beside sourceModule (once) and binds the six ordinals;
// false when the file or an ordinal is missing.
bool LoadImagingLibrary(HMODULE sourceModule);
// The loaded library's module, or null.
HMODULE imagingLibraryModule();
void UnloadImagingLibrary();
bool imagingLibraryLoaded();

// The bound library, loaded on first use from the folder of the module that
// holds this code (the data source). While it cannot be loaded every call
// fails (IMAGING_NO_BITMAP, or a null DIB).
ImagingLibrary& boundImagingLibrary();
MemoryBlocks& globalMemoryBlocks();

// SaveImageFile of the file transfer and the preview, through the bound library.
int SaveImageFile(HGLOBAL dib, int format, const char* path, int jpegQuality);
// The preview image file read back as a DIB; null when missing or unreadable.
HGLOBAL LoadImageFileAsDib(const char* path);
