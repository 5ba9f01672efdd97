#pragma once
// The engine's bitmap steps carried out by bitmap building (ScanBitmapBuilder):
// the DIB in the given memory blocks, its rows decoded in place, the row
// store or temporary file when the DIB cannot be had at the start, and the
// fit through the imaging library. One builder per scan.
#include "BitmapBuilding.h"
#include "ScanJob.h"

#include <memory>

class ImagingBitmapSteps : public BitmapBuildingSteps {
public:
    ImagingBitmapSteps(MemoryBlocks& memory, ImagingLibrary& imaging, BitmapPlatform& platform)
        : memory_(memory), imaging_(imaging), platform_(platform)
    {
    }

    DibHandle createScanBitmap(const ScanParameters& parameters, const ScanImageGeometry& geometry,
                               int dibOrder) override;
    bool openDataStore() override;
    DecodedRowPlace nextRowPlace() override;
    void appendDecodedRow(const uint8_t* row, int count) override;
    int fillBitmapRows(DibHandle& dib) override;
    int fitBitmapToRequest(DibHandle dib, int forMemoryTransfer, DibHandle* result) override;
    void freeBitmap(DibHandle dib) override;

private:
    MemoryBlocks& memory_;
    ImagingLibrary& imaging_;
    BitmapPlatform& platform_;
    ScanParameters parameters_;  // the builder keeps a reference to it
    std::unique_ptr<ScanBitmapBuilder> builder_;
};
