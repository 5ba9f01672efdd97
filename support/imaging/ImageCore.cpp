#include "ImageCore.h"

#include "ImagingInterface.h"
#include "StbResize.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>
#include <utility>

namespace imaging {
namespace {

uint32_t readU32(const uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24; }
uint16_t readU16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
void writeU32(uint8_t* p, uint32_t v)
{
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
    p[2] = static_cast<uint8_t>(v >> 16);
    p[3] = static_cast<uint8_t>(v >> 24);
}
void writeU16(uint8_t* p, uint16_t v)
{
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}

constexpr int MaximumSide = 65535;

int dpiFromPelsPerMetre(int32_t pelsPerMetre)
{
    return pelsPerMetre <= 0 ? 0 : static_cast<int>(std::lround(pelsPerMetre * 0.0254));
}

int32_t pelsPerMetreFromDpi(int dpi)
{
    const double pelsPerMetre = dpi * 100.0 * 0.39370078740157477;
    return dpi <= 0 ? 0 : pelsPerMetre >= 2147483647.0 ? 2147483647 : static_cast<int32_t>(pelsPerMetre);
}

int fullPaletteEntries(int bitsPerPixel) { return bitsPerPixel <= 8 ? 1 << bitsPerPixel : 0; }

void flipRows(Image& image)
{
    size_t stride = image.stride();
    std::vector<uint8_t> swap(stride);
    for (int top = 0, bottom = image.height - 1; top < bottom; ++top, --bottom) {
        uint8_t* a = image.pixels.data() + static_cast<size_t>(top) * stride;
        uint8_t* b = image.pixels.data() + static_cast<size_t>(bottom) * stride;
        std::memcpy(swap.data(), a, stride);
        std::memcpy(a, b, stride);
        std::memcpy(b, swap.data(), stride);
    }
}

// Brightness of a palette entry, for line art.
int entryLevel(const Image& image, int index)
{
    const uint8_t* entry = &image.palette[static_cast<size_t>(index) * 4];
    return (entry[0] * 29 + entry[1] * 150 + entry[2] * 77 + 128) >> 8;
}

// Exact area averaging when both factors are whole numbers: the common case
// of fitting a scan to a resolution that divides the device's.
bool averageWholeFactors(const uint8_t* in, int inWidth, int inHeight, size_t inStride, uint8_t* out, int outWidth,
                         int outHeight, size_t outStride, int channels)
{
    if (inWidth % outWidth != 0 || inHeight % outHeight != 0)
        return false;
    const int fx = inWidth / outWidth;
    const int fy = inHeight / outHeight;
    if (fx > 16 || fy > 16)
        return false;
    const uint32_t area = static_cast<uint32_t>(fx * fy);
    const size_t rowValues = static_cast<size_t>(outWidth) * channels;
    std::vector<uint32_t> sums(rowValues);
    for (int y = 0; y < outHeight; ++y) {
        std::fill(sums.begin(), sums.end(), 0u);
        for (int dy = 0; dy < fy; ++dy) {
            const uint8_t* source = in + (static_cast<size_t>(y) * fy + dy) * inStride;
            if (fx == 2 && channels == 3) {
                for (size_t x = 0; x < rowValues; x += 3, source += 6) {
                    sums[x] += source[0] + source[3];
                    sums[x + 1] += source[1] + source[4];
                    sums[x + 2] += source[2] + source[5];
                }
            } else if (fx == 2 && channels == 1) {
                for (size_t x = 0; x < rowValues; ++x, source += 2)
                    sums[x] += source[0] + source[1];
            } else {
                for (size_t x = 0; x < rowValues; x += channels)
                    for (int dx = 0; dx < fx; ++dx)
                        for (int c = 0; c < channels; ++c)
                            sums[x + c] += source[(x / channels * fx + dx) * channels + c];
            }
        }
        uint8_t* target = out + static_cast<size_t>(y) * outStride;
        for (size_t x = 0; x < rowValues; ++x)
            target[x] = static_cast<uint8_t>((sums[x] + area / 2) / area);
    }
    return true;
}

bool resample(const uint8_t* in, int inWidth, int inHeight, size_t inStride, uint8_t* out, int outWidth,
              int outHeight, size_t outStride, int channels)
{
    if (outWidth <= inWidth && outHeight <= inHeight &&
        averageWholeFactors(in, inWidth, inHeight, inStride, out, outWidth, outHeight, outStride, channels))
        return true;
    return resizeWithWindowedFilter(in, inWidth, inHeight, inStride, out, outWidth, outHeight, outStride, channels);
}

}

bool hasGreyRamp(const Image& image)
{
    if (image.bitsPerPixel != 8 || image.paletteSize != 256)
        return false;
    for (int i = 0; i < 256; ++i) {
        const uint8_t* entry = &image.palette[static_cast<size_t>(i) * 4];
        if (entry[0] != i || entry[1] != i || entry[2] != i)
            return false;
    }
    return true;
}

int imageFromDib(const uint8_t* dib, size_t size, Image& image)
{
    if (!dib || size < 40)
        return IMAGING_INVALID_ARGUMENT;
    const uint32_t headerSize = readU32(dib);
    const int32_t width = static_cast<int32_t>(readU32(dib + 4));
    const int32_t signedHeight = static_cast<int32_t>(readU32(dib + 8));
    const int bitsPerPixel = readU16(dib + 14);
    const uint32_t compression = readU32(dib + 16);
    const uint32_t colours = readU32(dib + 32);
    if (headerSize < 40 || headerSize > size || readU16(dib + 12) != 1)
        return IMAGING_INVALID_ARGUMENT;
    if (compression != 0 || (bitsPerPixel != 1 && bitsPerPixel != 8 && bitsPerPixel != 24))
        return IMAGING_FORMAT_NOT_SUPPORTED;
    if (width <= 0 || width > MaximumSide || signedHeight == 0 || signedHeight < -MaximumSide ||
        signedHeight > MaximumSide)
        return IMAGING_INVALID_ARGUMENT;

    Image result;
    result.width = width;
    result.height = signedHeight < 0 ? -signedHeight : signedHeight;
    result.bitsPerPixel = bitsPerPixel;
    result.xResolution = dpiFromPelsPerMetre(static_cast<int32_t>(readU32(dib + 24)));
    result.yResolution = dpiFromPelsPerMetre(static_cast<int32_t>(readU32(dib + 28)));
    const int fullEntries = fullPaletteEntries(bitsPerPixel);
    const int declared = colours == 0 || static_cast<int>(colours) > fullEntries ? fullEntries : static_cast<int>(colours);
    const size_t imageBytes = result.stride() * result.height;
    // A packed DIB's pixels follow the colours it declares. One that declares
    // fewer but carries the whole table is recognised by its size; the
    // source's grey DIBs declare 255 for Office and always carry 256 (a
    // global block may be larger than asked, so size alone cannot tell).
    size_t pixelOffset = headerSize + static_cast<size_t>(declared) * 4;
    const size_t fullOffset = headerSize + static_cast<size_t>(fullEntries) * 4;
    if (declared < fullEntries && size >= fullOffset && size - fullOffset >= imageBytes &&
        (size - fullOffset == imageBytes || (bitsPerPixel == 8 && declared == 255)))
        pixelOffset = fullOffset;
    if (size < pixelOffset || size - pixelOffset < imageBytes)
        return IMAGING_INVALID_ARGUMENT;
    result.paletteSize = fullEntries;
    result.declaredColours = colours <= static_cast<uint32_t>(fullEntries) ? static_cast<int>(colours) : 0;
    // The table the DIB carries: the colours it declares, or the whole table
    // when its pixels follow one (Office's grey DIB declares 255 of 256).
    std::memcpy(result.palette.data(), dib + headerSize, pixelOffset - headerSize);
    result.pixels.assign(dib + pixelOffset, dib + pixelOffset + imageBytes);
    if (signedHeight < 0)
        flipRows(result);
    image = std::move(result);
    return IMAGING_SUCCESS;
}

size_t packedDibSize(const Image& image)
{
    return 40 + static_cast<size_t>(fullPaletteEntries(image.bitsPerPixel)) * 4 + image.stride() * image.height;
}

void writePackedDib(const Image& image, uint8_t* out)
{
    const size_t imageBytes = image.stride() * image.height;
    std::memset(out, 0, 40);
    writeU32(out, 40);
    writeU32(out + 4, static_cast<uint32_t>(image.width));
    writeU32(out + 8, static_cast<uint32_t>(image.height));
    writeU16(out + 12, 1);
    writeU16(out + 14, static_cast<uint16_t>(image.bitsPerPixel));
    writeU32(out + 20, static_cast<uint32_t>(imageBytes));
    writeU32(out + 24, static_cast<uint32_t>(pelsPerMetreFromDpi(image.xResolution)));
    writeU32(out + 28, static_cast<uint32_t>(pelsPerMetreFromDpi(image.yResolution)));
    writeU32(out + 32, static_cast<uint32_t>(image.declaredColours));
    const size_t paletteBytes = static_cast<size_t>(fullPaletteEntries(image.bitsPerPixel)) * 4;
    std::memcpy(out + 40, image.palette.data(), paletteBytes);
    std::memcpy(out + 40 + paletteBytes, image.pixels.data(), imageBytes);
}

int resizeImage(Image& image, int width, int height)
{
    if (width <= 0 || height <= 0 || width > MaximumSide || height > MaximumSide || image.width <= 0)
        return IMAGING_INVALID_ARGUMENT;
    if (width == image.width && height == image.height)
        return IMAGING_SUCCESS;
    try {
        // Everything but the pixels: a copy of those would hold the image
        // twice more while the new one is made (a 32-bit host may not have
        // the room for it).
        Image resized;
        std::vector<uint8_t> pixels = std::move(image.pixels);
        resized = image;
        image.pixels = std::move(pixels);
        resized.width = width;
        resized.height = height;
        resized.pixels.assign(resized.stride() * height, 0);

        if (image.bitsPerPixel == 24 || hasGreyRamp(image)) {
            const int channels = image.bitsPerPixel / 8;
            if (!resample(image.pixels.data(), image.width, image.height, image.stride(), resized.pixels.data(), width,
                          height, resized.stride(), channels))
                return IMAGING_NO_MEMORY;
        } else if (image.bitsPerPixel == 8) {
            // Indices of an arbitrary palette cannot be averaged: nearest entry.
            for (int y = 0; y < height; ++y) {
                const uint8_t* source = image.pixels.data() +
                    static_cast<size_t>(static_cast<int64_t>(y) * image.height / height) * image.stride();
                uint8_t* target = resized.pixels.data() + static_cast<size_t>(y) * resized.stride();
                for (int x = 0; x < width; ++x)
                    target[x] = source[static_cast<int64_t>(x) * image.width / width];
            }
        } else {
            // Line art: resample the palette's levels, then back to the nearer entry.
            const int level0 = entryLevel(image, 0);
            const int level1 = entryLevel(image, 1);
            std::vector<uint8_t> grey(static_cast<size_t>(image.width) * image.height);
            for (int y = 0; y < image.height; ++y) {
                const uint8_t* source = image.pixels.data() + static_cast<size_t>(y) * image.stride();
                uint8_t* target = grey.data() + static_cast<size_t>(y) * image.width;
                for (int x = 0; x < image.width; ++x)
                    target[x] = static_cast<uint8_t>(source[x >> 3] & (0x80 >> (x & 7)) ? level1 : level0);
            }
            std::vector<uint8_t> scaled(static_cast<size_t>(width) * height);
            if (!resample(grey.data(), image.width, image.height, image.width, scaled.data(), width, height, width, 1))
                return IMAGING_NO_MEMORY;
            const int middle = (level0 + level1 + 1) / 2;
            const bool oneIsBrighter = level1 > level0;
            for (int y = 0; y < height; ++y) {
                const uint8_t* source = scaled.data() + static_cast<size_t>(y) * width;
                uint8_t* target = resized.pixels.data() + static_cast<size_t>(y) * resized.stride();
                for (int x = 0; x < width; ++x) {
                    bool brighter = source[x] >= middle;
                    if (brighter == oneIsBrighter)
                        target[x >> 3] |= static_cast<uint8_t>(0x80 >> (x & 7));
                }
            }
        }
        image = std::move(resized);
        return IMAGING_SUCCESS;
    } catch (const std::bad_alloc&) {
        return IMAGING_NO_MEMORY;
    }
}

void turnTopDown(Image& image)
{
    if (image.topDown)
        return;
    flipRows(image);
    image.topDown = true;
}

}
