#pragma once
// SaveImageFile: a DIB written to an image file through the imaging
// library, the file format chosen by the transfer's format or the path.
#include "ImagingLibrary.h"

#include <cstdint>

struct ImageFileChoice {
    int32_t formatCode = 0;   // ImagingFileFormat or another of the library's codes
    int32_t qualityFactor = -3;
    bool multiPage = false;   // the options block with the append mode
};

// TWFF_TIFF 0, TWFF_BMP 2, TWFF_TIFFMULTI 6; any other format by the path's
// extension (what follows the file name's last dot). False when the
// extension is not one the library knows: nothing is to be written.
bool chooseImageFileFormat(int twainFormat, const char* path, int jpegQuality, ImageFileChoice& choice);

// Negative on failure; 0 when the DIB is null, the conversion fails or the
// extension is unknown (nothing written); otherwise the save's result.
// memory is where the library's DIBs live (the bitmap is released through one).
int SaveImageFile(ImagingLibrary& imaging, MemoryBlocks& memory, void* dib, int format, const char* path,
                  int jpegQuality);

// Reads an image file (BMP) back as a new DIB (101, then 106); null on failure.
void* LoadImageFileAsDib(ImagingLibrary& imaging, const char* path);
