// A BMP file as anything may have written it. What the reader accepts is a
// whole image, and our own BMP of it reads back the same.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "FuzzCheck.h"
#include "ImageFiles.h"
#include "ImagingInterface.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    imaging::Image image;
    if (imaging::decodeBmp(data, size, image) != IMAGING_SUCCESS)
        return 0;
    FUZZ_CHECK(image.width > 0 && image.height > 0, "an accepted image has no pixels");
    FUZZ_CHECK(image.bitsPerPixel == 1 || image.bitsPerPixel == 8 || image.bitsPerPixel == 24,
               "an accepted image has a depth the library does not keep");
    FUZZ_CHECK(image.pixels.size() == image.stride() * image.height, "the rows do not fill the image");

    std::vector<uint8_t> written;
    FUZZ_CHECK(imaging::encodeImage(image, IMAGING_FORMAT_BMP, 0, written) == IMAGING_SUCCESS,
               "an accepted image cannot be written");
    imaging::Image back;
    FUZZ_CHECK(imaging::decodeBmp(written.data(), written.size(), back) == IMAGING_SUCCESS,
               "our own BMP does not read back");
    FUZZ_CHECK(back.width == image.width && back.height == image.height && back.bitsPerPixel == image.bitsPerPixel,
               "our own BMP reads back another size or depth");
    FUZZ_CHECK(back.pixels == image.pixels, "our own BMP reads back other pixels");
    const size_t paletteBytes = image.bitsPerPixel == 24 ? 0 : (size_t{1} << image.bitsPerPixel) * 4;
    FUZZ_CHECK(std::memcmp(back.palette.data(), image.palette.data(), paletteBytes) == 0,
               "our own BMP reads back another palette");
    return 0;
}
