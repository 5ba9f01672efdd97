#include "ImagingBitmapSteps.h"

DibHandle ImagingBitmapSteps::createScanBitmap(const ScanParameters& parameters, const ScanImageGeometry& geometry)
{
    parameters_ = parameters;
    ScanGeometry g;
    g.hdpi = geometry.hdpi;
    g.vdpi = geometry.vdpi;
    g.width = geometry.width;
    g.height = geometry.height;
    g.channels = geometry.channels;
    builder_ = std::make_unique<ScanBitmapBuilder>(parameters_, g, memory_, imaging_, platform_);
    return builder_->createScanBitmap();
}

bool ImagingBitmapSteps::openDataStore()
{
    return builder_ && builder_->openDataStore();
}

void ImagingBitmapSteps::appendDecodedRow(const uint8_t* row, int count)
{
    if (builder_)
        builder_->appendDecodedRow(row, count);
}

bool ImagingBitmapSteps::fillBitmapRows(DibHandle dib, int dibOrder)
{
    return builder_ && builder_->fillBitmapRows(dib, dibOrder);
}

int ImagingBitmapSteps::fitBitmapToRequest(DibHandle dib, int forMemoryTransfer, DibHandle* result)
{
    int code = builder_->fitBitmapToRequest(dib, forMemoryTransfer, result);
    // The temporary file, if one was used, goes with the end of the scan.
    builder_.reset();
    return code;
}

void ImagingBitmapSteps::freeBitmap(DibHandle dib)
{
    if (dib)
        memory_.release(dib);
    builder_.reset();
}
