#include "DeliveredImage.h"

#include <algorithm>

int32_t pixelsAtResolution(int32_t units, int32_t resolution)
{
    const float perUnit = 1.0f / 4800.0f;
    // volatile: x87 code must round each product to single precision too.
    volatile float product = static_cast<float>(resolution) * static_cast<float>(units);
    volatile float pixels = product * perUnit;
    if (!(pixels >= 0.0f))
        return 0;
    if (pixels >= 2147483520.0f)  // the largest float below 2^31
        return INT32_MAX;
    return static_cast<int32_t>(pixels);
}

DeliveredImage deliveredImage(const ScanParameters& requested)
{
    DeliveredImage image;
    image.left = std::clamp(requested.left, 0, BedWidthUnits);
    image.right = std::clamp(requested.right, 0, BedWidthUnits);
    image.top = std::clamp(requested.top, 0, BedLengthUnits);
    image.bottom = std::clamp(requested.bottom, 0, BedLengthUnits);
    if (image.right > image.left && image.bottom > image.top && requested.resolution > 0) {
        image.width = pixelsAtResolution(image.right - image.left, requested.resolution);
        image.height = pixelsAtResolution(image.bottom - image.top, requested.resolution);
    }
    return image;
}
