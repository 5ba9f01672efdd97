#pragma once
// The engine's bitmap steps for a SANE scan: there is no bitmap; each
// decoded row goes straight to the reader in SANE's layout (RGB
// interleaved, 8-bit grey, or line art packed with 1 for black, the first
// pixel in the most significant bit).
//
// Where the device does not scan the requested resolution (or its frame
// comes out a pixel off the requested size), the rows are fitted on their
// way, as the source fits its bitmap: colour and grey by area averaging,
// line art through grey and back at the middle level.
#include "RowResampler.h"
#include "RowStream.h"
#include "ScanReplyResult.h"
#include "ScanJob.h"

#include <vector>

class StreamingRows : public BitmapBuildingSteps {
public:
    explicit StreamingRows(RowStream& stream) : stream_(stream) {}

    DibHandle createScanBitmap(const ScanParameters& parameters, const ScanImageGeometry& geometry,
                               int dibOrder) override;
    bool openDataStore() override { return true; }
    void appendDecodedRow(const uint8_t* row, int count) override;
    int fillBitmapRows(DibHandle&) override { return SCAN_REPLY_SUCCESS; }
    int fitBitmapToRequest(DibHandle dib, int forMemoryTransfer, DibHandle* result) override;
    void freeBitmap(DibHandle) override {}

    int rowsDelivered() const { return rows_; }

private:
    void deliver(const uint8_t* row, size_t bytes);

    RowStream& stream_;
    bool lineArt_ = false;
    int threshold_ = 0;
    bool fitting_ = false;
    int width_ = 0;  // pixels of a delivered row
    int channels_ = 1;
    int scannedWidth_ = 0;
    RowResampler resampler_;
    std::vector<uint8_t> levels_;  // a line art row as grey, before it is fitted
    std::vector<uint8_t> packed_;
    int rows_ = 0;
};

// The image a scan delivers: what the device scans (scanned) fitted to the
// requested resolution over the frame on the bed (clamped), sized as the
// source sizes its fitted bitmap.
ScanImageGeometry fittedGeometry(const ScanParameters& clamped, const ScanImageGeometry& scanned);

// Packs a grey row as SANE line art: 1 where the grey value is at or below
// the threshold (the source's black), bits past the last pixel 0.
void packSaneLineArt(const uint8_t* grey, int width, int threshold, uint8_t* packed);
