#pragma once
// Building the scanned image: the DIB and its header for the pixel type,
// the decoded rows into it in DIB order (line art by threshold on the way),
// and fitting the bitmap to the requested resolution through the imaging
// library. The scan engine calls, per scan: createScanBitmap,
// openDataStore, appendDecodedRow for each decoder output (which may have
// been decoded straight into the place that nextRowPlace gave), then
// fillBitmapRows and fitBitmapToRequest.
//
// The image is held once. Rows go into the DIB as they come; only when the
// DIB cannot be allocated at the start are they kept in a store of the
// unpadded rows (memory, or a temporary file when memory is short), and
// the DIB is allocated and filled from it once they are all in.
#include "ImagingLibrary.h"
#include "LineArtPacking.h"
#include "MemoryBlocks.h"
#include "ScanParameters.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

// DIBs are movable memory blocks (HGLOBAL on Windows).
using DibHandle = void*;

// What the scan engine derives from ScanParameters for this scan.
struct ScanGeometry {
    int hdpi = 0;
    int vdpi = 0;
    int width = 0;
    int height = 0;
    int channels = 1;  // 3 for colour
};

// The rest of the platform that bitmap building reaches.
class BitmapPlatform {
public:
    virtual ~BitmapPlatform() = default;
    // A new temporary file's name (the system's temporary folder and
    // temporary-file naming); false when none can be had.
    virtual bool newTemporaryFileName(std::string& path) = 0;
    // Whether a module of this name is loaded in the process.
    virtual bool moduleLoaded(const char* name) = 0;
    // ShowWarning with the show flag on (a box), or off (the trace only).
    virtual void showWarning(unsigned stringId, bool show) = 0;
    // ShowPlainWarning: the untranslated text, the library's result code and
    // the source position "line @ sourceName".
    virtual void showPlainWarning(unsigned stringId, int resultCode, int line, const char* sourceName) = 0;
};

// Layout of the DIB for a pixel type and width.
struct DibLayout {
    int bitsPerPixel = 0;
    int paletteEntries = 0;
    uint32_t stride = 0;           // bytes per padded row
    uint32_t storedRowBytes = 0;   // bytes per unpadded row in the store
    uint8_t initialPixelByte = 0;  // what the rows hold before they are filled in
};
bool dibLayoutFor(int pixelType, int width, DibLayout& layout);
// trunc(dpi x 100 x 0.39370078740157477): 11811 at 300 dpi.
int32_t pelsPerMetreForDpi(int dpi);

class ScanBitmapBuilder {
public:
    ScanBitmapBuilder(const ScanParameters& parameters, const ScanGeometry& geometry, MemoryBlocks& memory,
                      ImagingLibrary& imaging, BitmapPlatform& platform);
    // Releases the store and deletes the temporary file if one is left.
    ~ScanBitmapBuilder();
    ScanBitmapBuilder(const ScanBitmapBuilder&) = delete;
    ScanBitmapBuilder& operator=(const ScanBitmapBuilder&) = delete;

    // The new DIB, header and palette set, to be completed in dibOrder (1:
    // colour B, G, R and line art inverted). When the image's memory cannot
    // be had, a DIB of the header alone and a store for the rows; null when
    // neither can be had (the engine shows string 6).
    DibHandle createScanBitmap(int dibOrder);
    // True when the rows have a place: the DIB, or a store. Otherwise a
    // memory block of the unpadded rows, else a temporary file; false after
    // string 7 in a warning box when neither can be made.
    bool openDataStore();
    // The next row's place in the DIB, where a grey or colour row may be
    // decoded; null for line art, rows kept in a store, or a full image.
    uint8_t* nextRowPlace();
    // Whether colour rows in their place are B, G, R.
    bool placedRowsBlueFirst() const { return placedBlueFirst_; }
    // One decoder output, a whole row (count 0 is allowed): one already in
    // the place given is only counted; others, with colour pixels R, G, B,
    // are put in DIB order, line art packed.
    void appendDecodedRow(const uint8_t* row, int count);
    enum class Filled { complete, noMemory, unreadable };
    // Completes the DIB: rows the scan did not deliver white, and a DIB of
    // the header alone grown to the image and filled from the store; then
    // releases the store. noMemory after string 6 in a box; unreadable when
    // the store could not be read back (after string 9 in a box, or the
    // trace of string 20 for an unknown pixel type). dib, the handle that
    // createScanBitmap gave, becomes the completed DIB.
    Filled fillBitmapRows(DibHandle& dib);
    // 100 with *result the final DIB, or 109 with *result null. dib is
    // consumed: a DIB replaced by the library's result is released.
    int fitBitmapToRequest(DibHandle dib, int forMemoryTransfer, DibHandle* result);
    // End of the scan: the temporary file, if one was used, is closed and deleted.
    void closeDataStore();

    bool dataStoreUsesFile() const { return !storeFilePath_.empty(); }
    bool dataStoreInMemory() const { return storeBytes_ != nullptr; }
    const DibLayout& layout() const { return layout_; }

private:
    size_t headerSize() const;
    size_t imageSize() const;
    void writeHeader(uint8_t* header);
    uint8_t* rowInBitmap(uint8_t* pixels, size_t row) const;
    void padRow(uint8_t* target) const;
    void toDibOrder(uint8_t* target) const;
    bool makeStore();
    bool makeStoreFile();
    void storeBytes(const uint8_t* bytes, size_t count);
    Filled fillFromStore(DibHandle& dib);
    void unlockBitmap();
    void releaseStore();

    const ScanParameters& parameters_;
    ScanGeometry geometry_;
    MemoryBlocks& memory_;
    ImagingLibrary& imaging_;
    BitmapPlatform& platform_;
    DibLayout layout_{};
    bool layoutValid_ = false;
    int dibOrder_ = 0;
    bool placedBlueFirst_ = false;

    // The DIB that rows go into, locked until it is complete.
    DibHandle dib_ = nullptr;
    uint8_t* pixels_ = nullptr;
    size_t rowsInBitmap_ = 0;
    // A DIB of the header alone, its rows in the store.
    bool headerOnly_ = false;

    void* storeBlock_ = nullptr;
    uint8_t* storeBytes_ = nullptr;
    size_t storeCapacity_ = 0;
    size_t storeUsed_ = 0;
    std::FILE* storeFile_ = nullptr;
    std::string storeFilePath_;
    std::vector<uint8_t> packedRow_;  // a line art row on its way to the store
};
