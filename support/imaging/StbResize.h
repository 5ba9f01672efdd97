#pragma once
// The windowed-filter resampler (cubic up, Mitchell down) from stb_image_resize.
#include <cstddef>
#include <cstdint>

namespace imaging {
bool resizeWithWindowedFilter(const uint8_t* in, int inWidth, int inHeight, size_t inStride, uint8_t* out,
                              int outWidth, int outHeight, size_t outStride, int channels);
}
