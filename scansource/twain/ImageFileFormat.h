#pragma once
// Which image file a file transfer writes: the imaging library's format
// code and quality factor, chosen from the application's Format and the
// extension of its file name.
#include <string>

#include "twain.h"

// TWAIN file formats beyond the three that twain.h names.
#ifndef TWFF_JFIF
#define TWFF_JFIF 4
#endif
#ifndef TWFF_TIFFMULTI
#define TWFF_TIFFMULTI 6
#endif
#ifndef TWFF_PNG
#define TWFF_PNG 7
#endif

// The imaging library's file format codes that its writer supports.
enum ImageFileCode : int {
    ImageFileTiff = 3,
    ImageFileBmp = 6,
    ImageFileJpeg = 10,
    ImageFilePng = 75,
};

// The library's quality factor for formats without a quality setting.
constexpr int DefaultQualityFactor = -3;

struct TransferFileChoice {
    bool writable = false;  // false: no format that we write fits the request
    int code = 0;
    int qualityFactor = DefaultQualityFactor;
    bool multiPage = false;  // append a page to a multi-page TIFF
};

// The text after the last dot of the path's file name, dot included
// (".jpg"); empty when the name has no dot. Folder names never count.
std::string fileNameExtension(const std::string& path);

// The library's code for an extension (case ignored), 0 when unknown. Known
// extensions include formats that the writer does not support.
int imageFileCodeForExtension(const std::string& extension);

// The library's quality factor for a JPEG quality (-3 low, -1 high, else medium).
int jpegQualityFactor(int jpegQuality);

// TIFF, BMP and multi-page TIFF are taken from Format; any other Format is
// decided by the extension, and when the extension names no format that we
// write, by Format itself if we write it.
TransferFileChoice chooseImageFile(TW_UINT16 format, const std::string& path, int jpegQuality);
