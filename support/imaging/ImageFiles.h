#pragma once
// Image files of the imaging library: BMP, TIFF (single or appended pages),
// JPEG and PNG out; BMP in.
#include "ImageCore.h"

namespace imaging {

// format: an ImagingFileFormat; qualityFactor: JPEG's factor (2..255,
// growing with compression); appendPage: a TIFF file gets a further page.
int saveImageFile(const char* path, const Image& image, int format, int qualityFactor, bool appendPage);
int loadBmpFile(const char* path, Image& image);

// The same in memory, for tests and tools.
int encodeImage(const Image& image, int format, int qualityFactor, std::vector<uint8_t>& out);
int decodeBmp(const uint8_t* data, size_t size, Image& image);

// The encoder quality (1..100) for a JPEG quality factor.
int jpegQualityForFactor(int qualityFactor);

}
