#pragma once
// JPEG and PNG encoding (stb_image_write) of packed top-down rows, 1 (grey)
// or 3 (red, green, blue) channels, into a byte sink.
#include "ByteSink.h"

namespace imaging {
bool writeJpeg(ByteSink& sink, int width, int height, int channels, const uint8_t* rows, int quality);
bool writePng(ByteSink& sink, int width, int height, int channels, const uint8_t* rows);
}
