#pragma once
// The engine's bitmap steps for a SANE scan: there is no bitmap; each
// decoded row goes straight to the reader in SANE's layout (RGB
// interleaved, 8-bit grey, or line art packed with 1 for black, the first
// pixel in the most significant bit).
//
// Every resolution the options offer is one the device scans, so the image
// always has the requested size and nothing is left to fit.
#include "RowStream.h"
#include "ScanJob.h"

#include <vector>

class StreamingRows : public BitmapBuildingSteps {
public:
    explicit StreamingRows(RowStream& stream) : stream_(stream) {}

    DibHandle createScanBitmap(const ScanParameters& parameters, const ScanImageGeometry& geometry) override;
    bool openDataStore() override { return true; }
    void appendDecodedRow(const uint8_t* row, int count) override;
    bool fillBitmapRows(DibHandle, int) override { return true; }
    int fitBitmapToRequest(DibHandle dib, int forMemoryTransfer, DibHandle* result) override;
    void freeBitmap(DibHandle) override {}

    int rowsDelivered() const { return rows_; }

private:
    RowStream& stream_;
    bool lineArt_ = false;
    int threshold_ = 0;
    std::vector<uint8_t> packed_;
    int rows_ = 0;
};

// Packs a grey row as SANE line art: 1 where the grey value is at or below
// the threshold (the source's black), bits past the last pixel 0.
void packSaneLineArt(const uint8_t* grey, int width, int threshold, uint8_t* packed);
