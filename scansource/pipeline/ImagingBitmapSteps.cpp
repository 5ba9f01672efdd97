#include "ImagingBitmapSteps.h"

#include "ScanReplyResult.h"

DibHandle ImagingBitmapSteps::createScanBitmap(const ScanParameters& parameters, const ScanImageGeometry& geometry,
                                               int dibOrder)
{
    parameters_ = parameters;
    ScanGeometry g;
    g.hdpi = geometry.hdpi;
    g.vdpi = geometry.vdpi;
    g.width = geometry.width;
    g.height = geometry.height;
    g.channels = geometry.channels;
    builder_ = std::make_unique<ScanBitmapBuilder>(parameters_, g, memory_, imaging_, platform_);
    return builder_->createScanBitmap(dibOrder);
}

bool ImagingBitmapSteps::openDataStore()
{
    return builder_ && builder_->openDataStore();
}

DecodedRowPlace ImagingBitmapSteps::nextRowPlace()
{
    if (!builder_)
        return {};
    return {builder_->nextRowPlace(), builder_->placedRowsBlueFirst()};
}

void ImagingBitmapSteps::appendDecodedRow(const uint8_t* row, int count)
{
    if (builder_)
        builder_->appendDecodedRow(row, count);
}

int ImagingBitmapSteps::fillBitmapRows(DibHandle& dib)
{
    switch (builder_ ? builder_->fillBitmapRows(dib) : ScanBitmapBuilder::Filled::unreadable) {
    case ScanBitmapBuilder::Filled::complete: return SCAN_REPLY_SUCCESS;
    case ScanBitmapBuilder::Filled::noMemory: return SCAN_REPLY_NO_MEMORY;
    case ScanBitmapBuilder::Filled::unreadable: break;
    }
    return SCAN_RESULT_SETUP_FAILED;
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
    // The builder lets go of the DIB before it goes.
    builder_.reset();
    if (dib)
        memory_.release(dib);
}
