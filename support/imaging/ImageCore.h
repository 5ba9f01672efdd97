#pragma once
// The imaging library's own image and the work on it: packed DIBs in and
// out, resampling, top-down preparation, image files. Portable.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace imaging {

struct Image {
    int width = 0;
    int height = 0;
    int bitsPerPixel = 24;  // 1, 8 or 24
    int xResolution = 0;    // dots per inch
    int yResolution = 0;
    bool topDown = false;   // rows stored top row first (else DIB order, bottom row first)
    int paletteSize = 0;    // entries used: 2 for 1 bit, up to 256 for 8 bits
    // biClrUsed as the DIB declared it, given back with the image: Office's
    // hosts take the source's DIBs only with their counts (255 for grey).
    int declaredColours = 0;
    std::array<uint8_t, 1024> palette{};  // blue, green, red, reserved
    std::vector<uint8_t> pixels;          // rows of stride() bytes, as stored

    size_t stride() const { return ((static_cast<size_t>(width) * bitsPerPixel + 31) / 32) * 4; }
    // Row y counted from the top of the image.
    uint8_t* rowFromTop(int y) { return pixels.data() + storedRow(y) * stride(); }
    const uint8_t* rowFromTop(int y) const { return pixels.data() + storedRow(y) * stride(); }

private:
    size_t storedRow(int y) const { return static_cast<size_t>(topDown ? y : height - 1 - y); }
};

// Result codes as in ImagingInterface.h (1 success, negative failures).
int imageFromDib(const uint8_t* dib, size_t size, Image& image);
size_t packedDibSize(const Image& image);
// Writes the packed DIB (header, palette, rows as stored) into out, which
// holds packedDibSize bytes.
void writePackedDib(const Image& image, uint8_t* out);

int resizeImage(Image& image, int width, int height);
void turnTopDown(Image& image);

// Whether the 8-bit palette is the grey ramp (i, i, i) that resampling and
// the grey file formats can take as intensities.
bool hasGreyRamp(const Image& image);

}
