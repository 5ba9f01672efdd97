#include "ImagingCalls.h"

#include "ImageCore.h"
#include "ImageFiles.h"

#include <cstring>
#include <new>

namespace {

imaging::Image* heldImage(const ImagingBitmapDescriptor* bitmap)
{
    if (!bitmap || bitmap->size != IMAGING_DESCRIPTOR_SIZE || bitmap->marker != IMAGING_DESCRIPTOR_MARKER)
        return nullptr;
    imaging::Image* image = nullptr;
    std::memcpy(&image, bitmap->image, sizeof image);
    return image;
}

// The descriptor's public fields from the image.
void describe(ImagingBitmapDescriptor* bitmap, const imaging::Image& image)
{
    bitmap->width = image.width;
    bitmap->height = image.height;
    bitmap->bitsPerPixel = image.bitsPerPixel;
    bitmap->xResolution = image.xResolution;
    bitmap->yResolution = image.yResolution;
    bitmap->bytesPerLine = static_cast<int32_t>(image.stride());
    bitmap->flags = image.topDown ? IMAGING_BITMAP_TOP_DOWN : 0;
}

void hold(ImagingBitmapDescriptor* bitmap, imaging::Image* image)
{
    std::memset(bitmap, 0, sizeof *bitmap);
    bitmap->size = IMAGING_DESCRIPTOR_SIZE;
    bitmap->marker = IMAGING_DESCRIPTOR_MARKER;
    static_assert(sizeof image <= sizeof bitmap->image, "a pointer fits the image field");
    std::memcpy(bitmap->image, &image, sizeof image);
    describe(bitmap, *image);
}

// The caller may have set the resolutions since; they are the image's now.
void takeResolutions(const ImagingBitmapDescriptor* bitmap, imaging::Image& image)
{
    image.xResolution = bitmap->xResolution;
    image.yResolution = bitmap->yResolution;
}

}

int32_t ImagingCalls::bitmapFromDib(ImagingBitmapDescriptor* bitmap, uint32_t descriptorSize, void* dib)
{
    if (!bitmap || descriptorSize < IMAGING_DESCRIPTOR_SIZE || !dib)
        return IMAGING_INVALID_ARGUMENT;
    LockedBlock locked(memory_, dib);
    if (!locked.bytes())
        return IMAGING_INVALID_ARGUMENT;
    auto* image = new (std::nothrow) imaging::Image;
    if (!image)
        return IMAGING_NO_MEMORY;
    int32_t result;
    try {
        result = imaging::imageFromDib(locked.bytes(), locked.size(), *image);
    } catch (const std::bad_alloc&) {
        result = IMAGING_NO_MEMORY;
    }
    if (result != IMAGING_SUCCESS) {
        delete image;
        return result;
    }
    hold(bitmap, image);
    return IMAGING_SUCCESS;
}

void* ImagingCalls::dibFromBitmap(ImagingBitmapDescriptor* bitmap, uint32_t)
{
    imaging::Image* image = heldImage(bitmap);
    if (!image)
        return nullptr;
    takeResolutions(bitmap, *image);
    void* dib = memory_.allocate(imaging::packedDibSize(*image), false);
    if (dib) {
        LockedBlock locked(memory_, dib);
        if (locked.bytes()) {
            imaging::writePackedDib(*image, locked.bytes());
        } else {
            memory_.release(dib);
            dib = nullptr;
        }
    }
    releaseBitmap(bitmap);
    return dib;
}

int32_t ImagingCalls::resize(ImagingBitmapDescriptor* bitmap, int32_t width, int32_t height, uint32_t)
{
    imaging::Image* image = heldImage(bitmap);
    if (!image)
        return IMAGING_NO_BITMAP;
    takeResolutions(bitmap, *image);
    int32_t result = imaging::resizeImage(*image, width, height);
    describe(bitmap, *image);
    return result;
}

int32_t ImagingCalls::prepareMemoryTransfer(ImagingBitmapDescriptor* bitmap)
{
    imaging::Image* image = heldImage(bitmap);
    if (!image)
        return IMAGING_NO_BITMAP;
    imaging::turnTopDown(*image);
    describe(bitmap, *image);
    return IMAGING_SUCCESS;
}

int32_t ImagingCalls::saveFile(const char* path, ImagingBitmapDescriptor* bitmap, int32_t format,
                               int32_t bitsPerPixel, int32_t qualityFactor, const ImagingSaveOptions* options)
{
    imaging::Image* image = heldImage(bitmap);
    if (!image)
        return IMAGING_NO_BITMAP;
    if (bitsPerPixel != 0 && bitsPerPixel != image->bitsPerPixel)
        return IMAGING_INVALID_ARGUMENT;
    if (options && options->size != IMAGING_SAVE_OPTIONS_SIZE)
        return IMAGING_INVALID_ARGUMENT;
    takeResolutions(bitmap, *image);
    const bool appendPage = options && options->pageMode == IMAGING_PAGE_APPEND;
    return imaging::saveImageFile(path, *image, format, qualityFactor, appendPage);
}

int32_t ImagingCalls::loadFile(const char* path, ImagingBitmapDescriptor* bitmap, uint32_t descriptorSize,
                               int32_t bitsPerPixel, int32_t, const void*, void*)
{
    if (!bitmap || descriptorSize < IMAGING_DESCRIPTOR_SIZE)
        return IMAGING_INVALID_ARGUMENT;
    auto* image = new (std::nothrow) imaging::Image;
    if (!image)
        return IMAGING_NO_MEMORY;
    int32_t result = imaging::loadBmpFile(path, *image);
    if (result == IMAGING_SUCCESS && bitsPerPixel != 0 && bitsPerPixel != image->bitsPerPixel)
        result = IMAGING_FORMAT_NOT_SUPPORTED;
    if (result != IMAGING_SUCCESS) {
        delete image;
        return result;
    }
    hold(bitmap, image);
    return IMAGING_SUCCESS;
}

void ImagingCalls::releaseBitmap(ImagingBitmapDescriptor* bitmap)
{
    imaging::Image* image = heldImage(bitmap);
    if (!image)
        return;
    delete image;
    std::memset(bitmap->image, 0, sizeof bitmap->image);
    bitmap->size = 0;
    bitmap->marker = 0;
}
