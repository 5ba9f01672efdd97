#pragma once
// The binary interface of ZVP4_i__.dll, the imaging library that the data
// source loads from its own folder and calls by ordinal: the bitmap
// descriptor, the ordinals, result and format codes and the save options
// block. Portable: both the library and its callers include it.
#include <cstddef>
#include <cstdint>

#if defined(_WIN32)
#define IMAGING_CALL __stdcall
#else
#define IMAGING_CALL
#endif

enum ImagingOrdinal : uint16_t {
    IMAGING_ORDINAL_LOAD_FILE = 101,
    IMAGING_ORDINAL_SAVE_FILE = 103,
    IMAGING_ORDINAL_BITMAP_FROM_DIB = 104,
    IMAGING_ORDINAL_DIB_FROM_BITMAP = 106,
    IMAGING_ORDINAL_PREPARE_MEMORY_TRANSFER = 124,
    IMAGING_ORDINAL_RESIZE = 151,
};

// Results: 1 success; every failure is negative.
enum ImagingResult : int32_t {
    IMAGING_SUCCESS = 1,
    IMAGING_NO_MEMORY = -1,
    IMAGING_INVALID_ARGUMENT = -2,
    IMAGING_FILE_WRITE_FAILED = -3,
    IMAGING_FILE_READ_FAILED = -4,
    IMAGING_INVALID_FILE = -5,
    IMAGING_FORMAT_NOT_SUPPORTED = -6,
    IMAGING_NO_BITMAP = -7,
};

// File format codes of the save call; the other codes of the data source's
// extension list (1, 4, 5, 15, 16, 54-57, 76, 82) answer
// IMAGING_FORMAT_NOT_SUPPORTED.
enum ImagingFileFormat : int32_t {
    IMAGING_FORMAT_TIFF = 3,
    IMAGING_FORMAT_BMP = 6,
    IMAGING_FORMAT_JPEG = 10,
    IMAGING_FORMAT_PNG = 75,
};

// JPEG quality factors: the factor grows with compression (2..255).
enum ImagingJpegFactor : int32_t {
    IMAGING_JPEG_FACTOR_HIGH_QUALITY = 25,
    IMAGING_JPEG_FACTOR_MEDIUM_QUALITY = 128,
    IMAGING_JPEG_FACTOR_LOW_QUALITY = 240,
};

// The caller's record of one library bitmap. The caller allocates it and
// passes its size when the bitmap is made; the library keeps the pixels and
// fills in the rest. Callers read or write only the resolutions (in dots per
// inch) and bitsPerPixel; the resolutions are what the next DIB and file get.
struct ImagingBitmapDescriptor {
    uint32_t size;            // IMAGING_DESCRIPTOR_SIZE while it holds a bitmap
    uint32_t marker;          // IMAGING_DESCRIPTOR_MARKER while it holds a bitmap
    int32_t width;
    int32_t height;
    int32_t bitsPerPixel;     // 1, 8 or 24
    int32_t xResolution;
    int32_t yResolution;
    int32_t bytesPerLine;
    uint32_t flags;           // IMAGING_BITMAP_TOP_DOWN
    uint8_t image[8];         // the library's own image record
    uint8_t reserved[120];
};

constexpr uint32_t IMAGING_DESCRIPTOR_SIZE = 164;
constexpr uint32_t IMAGING_DESCRIPTOR_MARKER = 0x49505a56u;  // "VZPI"
// Rows are stored top row first (see ordinal 124).
constexpr uint32_t IMAGING_BITMAP_TOP_DOWN = 1;
static_assert(sizeof(ImagingBitmapDescriptor) == IMAGING_DESCRIPTOR_SIZE, "the descriptor is 164 bytes");
static_assert(offsetof(ImagingBitmapDescriptor, xResolution) == 20, "fixed field offsets");

// The save options block: 1646 bytes, zero but for its size and the page mode.
enum ImagingPageMode : uint32_t {
    IMAGING_PAGE_REPLACE = 0,
    IMAGING_PAGE_APPEND = 2,  // a TIFF file gets the bitmap as a further page
};
// 1646 is not a multiple of 4: packed to 2 so that the size holds.
#pragma pack(push, 2)
struct ImagingSaveOptions {
    uint32_t size;            // IMAGING_SAVE_OPTIONS_SIZE
    uint32_t pageMode;        // ImagingPageMode
    uint8_t reserved[1638];
};
#pragma pack(pop)
constexpr uint32_t IMAGING_SAVE_OPTIONS_SIZE = 1646;
static_assert(sizeof(ImagingSaveOptions) == IMAGING_SAVE_OPTIONS_SIZE, "the options block is 1646 bytes");

// The six calls. Handles are movable global memory blocks (HGLOBAL) holding
// packed DIBs: BITMAPINFOHEADER, colour table, rows padded to 4 bytes.
//
// 104: makes a bitmap of the DIB (which stays the caller's); 1 or a failure.
typedef int32_t(IMAGING_CALL* ImagingBitmapFromDibProc)(ImagingBitmapDescriptor* bitmap, uint32_t descriptorSize,
                                                         void* dib);
// 106: a new packed DIB of the bitmap, or null; the bitmap is released
// either way. After ordinal 124 the DIB's rows are top row first while its
// biHeight stays positive, so a memory transfer copying rows from the start
// of the pixel data delivers the top of the image first.
typedef void*(IMAGING_CALL* ImagingDibFromBitmapProc)(ImagingBitmapDescriptor* bitmap, uint32_t flags);
// 151: resamples to width x height pixels (line art stays line art).
typedef int32_t(IMAGING_CALL* ImagingResizeProc)(ImagingBitmapDescriptor* bitmap, int32_t width, int32_t height,
                                                 uint32_t flags);
// 124: turns the bitmap's rows top row first for a memory transfer.
typedef int32_t(IMAGING_CALL* ImagingPrepareMemoryTransferProc)(ImagingBitmapDescriptor* bitmap);
// 103: writes the bitmap to path; options may be null. Negative on failure.
typedef int32_t(IMAGING_CALL* ImagingSaveFileProc)(const char* path, ImagingBitmapDescriptor* bitmap,
                                                   int32_t format, int32_t bitsPerPixel, int32_t qualityFactor,
                                                   const ImagingSaveOptions* options);
// 101: reads a BMP file into a new bitmap; the other arguments are
// descriptorSize 164, bitsPerPixel 0 (as stored), order 1 (DIB order) and
// two null pointers. 1 or a failure.
typedef int32_t(IMAGING_CALL* ImagingLoadFileProc)(const char* path, ImagingBitmapDescriptor* bitmap,
                                                   uint32_t descriptorSize, int32_t bitsPerPixel, int32_t order,
                                                   const void* loadOptions, void* fileInfo);
