#pragma once
// Bitmap building in plain memory: the packed DIB (header, palette, rows
// bottom-up), the store of decoded rows, line art by threshold, and the fit
// to the requested resolution by nearest-neighbour resizing. The scan tool
// writes its result as a .bmp; the source uses it until the imaging
// library's bitmap building is wired in.
#include "ScanJob.h"

#include <cstdint>
#include <vector>

using PackedDib = std::vector<uint8_t>;

class MemoryDibSteps : public BitmapBuildingSteps {
public:
    DibHandle createScanBitmap(const ScanParameters& parameters, const ScanImageGeometry& geometry) override;
    bool openDataStore() override;
    void appendDecodedRow(const uint8_t* row, int count) override;
    bool fillBitmapRows(DibHandle dib, int dibOrder) override;
    int fitBitmapToRequest(DibHandle dib, int forMemoryTransfer, DibHandle* result) override;
    void freeBitmap(DibHandle dib) override;

    // The DIB behind a handle this builder gave out.
    static PackedDib& bytes(DibHandle dib) { return *static_cast<PackedDib*>(dib); }
    size_t storeCapacity() const { return store_.capacity(); }

private:
    ScanParameters parameters_;
    ScanImageGeometry geometry_;
    std::vector<uint8_t> store_;
    std::vector<uint8_t> packed_;
};

// Packed-DIB facts the tool and the tests read back.
struct DibInfo {
    int width = 0;
    int height = 0;
    int bitCount = 0;
    uint32_t stride = 0;
    uint32_t pixelOffset = 0;  // header + palette
};
bool readDibInfo(const PackedDib& dib, DibInfo* info);
