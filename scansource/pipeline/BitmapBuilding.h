#pragma once
// Building the scanned image: the DIB and its header for the pixel type, the
// store of decoded rows (memory, or a temporary file when memory is short),
// line art by threshold, rows into the bitmap in DIB order, and fitting the
// bitmap to the requested resolution through the imaging library. The scan
// engine calls, per scan: createScanBitmap, openDataStore, appendDecodedRow
// for each decoder output, fillBitmapRows, fitBitmapToRequest.
#include "ImagingLibrary.h"
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
// Packs count grey bytes into line-art bytes: 1 where the grey value is
// above threshold (signed comparison), the whole byte inverted when invert
// is set; returns the number of packed bytes (ceil(count / 8)).
int packLineArtRow(const uint8_t* grey, int count, int threshold, bool invert, uint8_t* packed);

class ScanBitmapBuilder {
public:
    ScanBitmapBuilder(const ScanParameters& parameters, const ScanGeometry& geometry, MemoryBlocks& memory,
                      ImagingLibrary& imaging, BitmapPlatform& platform);
    // Releases the store and deletes the temporary file if one is left.
    ~ScanBitmapBuilder();
    ScanBitmapBuilder(const ScanBitmapBuilder&) = delete;
    ScanBitmapBuilder& operator=(const ScanBitmapBuilder&) = delete;

    // The new DIB, header and palette set, rows initialised; null when the
    // block cannot be allocated (the engine shows string 6).
    DibHandle createScanBitmap();
    // Memory block of twice biSizeImage, else a temporary file; false after
    // string 7 in a warning box when neither can be made.
    bool openDataStore();
    // One decoder output (count 0 is allowed); line art is packed first.
    void appendDecodedRow(const uint8_t* row, int count);
    // Fills the bitmap's rows from the store, bottom-up; dibOrder 1 turns
    // colour into BGR and inverts line art. Releases the store. False when
    // the store could not be read back (after string 9 in a box, or the
    // trace of string 20 for an unknown pixel type): the rows are not the scan.
    bool fillBitmapRows(DibHandle dib, int dibOrder);
    // 100 with *result the final DIB, or 109 with *result null. dib is
    // consumed: a DIB replaced by the library's result is released.
    int fitBitmapToRequest(DibHandle dib, int forMemoryTransfer, DibHandle* result);
    // End of the scan: the temporary file, if one was used, is closed and deleted.
    void closeDataStore();

    bool dataStoreUsesFile() const { return !storeFilePath_.empty(); }
    const DibLayout& layout() const { return layout_; }

private:
    void storeBytes(const uint8_t* bytes, size_t count);
    void releaseStore();

    const ScanParameters& parameters_;
    ScanGeometry geometry_;
    MemoryBlocks& memory_;
    ImagingLibrary& imaging_;
    BitmapPlatform& platform_;
    DibLayout layout_{};
    bool layoutValid_ = false;

    void* storeBlock_ = nullptr;
    uint8_t* storeBytes_ = nullptr;
    size_t storeCapacity_ = 0;
    size_t storeUsed_ = 0;
    std::FILE* storeFile_ = nullptr;
    std::string storeFilePath_;
    std::vector<uint8_t> packedRow_;
};
