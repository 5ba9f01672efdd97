// The one translation unit that compiles the stb implementations; their own
// warnings are theirs, not ours.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wunused-parameter"
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wimplicit-fallthrough"
#pragma GCC diagnostic ignored "-Wtype-limits"
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#define STBI_WRITE_NO_STDIO
#include <stb_image_write.h>
#define STB_IMAGE_RESIZE_IMPLEMENTATION
#define STB_IMAGE_RESIZE_STATIC
#include <stb_image_resize.h>
#pragma GCC diagnostic pop

#include "StbCodecs.h"
#include "StbResize.h"

namespace imaging {

bool resizeWithWindowedFilter(const uint8_t* in, int inWidth, int inHeight, size_t inStride, uint8_t* out,
                              int outWidth, int outHeight, size_t outStride, int channels)
{
    return stbir_resize_uint8_generic(in, inWidth, inHeight, static_cast<int>(inStride), out, outWidth, outHeight,
                                      static_cast<int>(outStride), channels, STBIR_ALPHA_CHANNEL_NONE, 0,
                                      STBIR_EDGE_CLAMP, STBIR_FILTER_DEFAULT, STBIR_COLORSPACE_LINEAR,
                                      nullptr) != 0;
}

namespace {
void appendToSink(void* context, void* data, int size)
{
    auto* sink = static_cast<ByteSink*>(context);
    sink->write(data, static_cast<size_t>(size));
}
}

bool writeJpeg(ByteSink& sink, int width, int height, int channels, const uint8_t* rows, int quality)
{
    return stbi_write_jpg_to_func(appendToSink, &sink, width, height, channels, rows, quality) != 0 && sink.ok();
}

bool writePng(ByteSink& sink, int width, int height, int channels, const uint8_t* rows)
{
    return stbi_write_png_to_func(appendToSink, &sink, width, height, channels, rows, width * channels) != 0 &&
        sink.ok();
}

}
