#pragma once
// What the image transfer operations ask of the rest of the source: the scan
// engine, the capability table's current values, the imaging library, the
// application's movable memory and the file system. The Win32 shell
// implements it; tests put a fake in.
#include <cstddef>
#include <string>

#include "ImageFileFormat.h"
#include "twain.h"

class TransferServices {
public:
    virtual ~TransferServices() = default;

    // One whole scan with the current ScanParameters; a ScanReplyResult
    // (100 done, 103 cancelled). The caller owns *dib.
    virtual int scanImage(int dibOrder, int forMemoryTransfer, TW_HANDLE* dib) = 0;
    // 0 when a document is in the feeder.
    virtual int queryFeederStatus(int reportCovers) = 0;

    // Current values of the capability table. The pixel type that is
    // described is ScanParameters', the one the scan uses.
    virtual int bitDepthOfPixelType(int pixelType) = 0;
    virtual int currentUnits() = 0;
    virtual bool feederEnabled() = 0;
    virtual int currentJpegQuality() = 0;
    virtual void setImageFileFormat(TW_UINT16 format) = 0;

    // Writes the DIB as the chosen file; negative on failure.
    virtual int SaveImageFile(TW_HANDLE dib, const TransferFileChoice& choice, const std::string& path) = 0;

    // Movable global memory: the scanned bitmaps and the application's buffers.
    virtual void* lockMemory(TW_HANDLE handle) = 0;
    virtual void unlockMemory(TW_HANDLE handle) = 0;
    virtual size_t memorySize(TW_HANDLE handle) = 0;
    virtual void freeMemory(TW_HANDLE handle) = 0;

    // A new empty file in the user's temporary folder; empty on failure.
    virtual std::string createTemporaryFile(const char* prefix) = 0;
    virtual bool fileExists(const std::string& path) = 0;
    virtual bool createEmptyFile(const std::string& path) = 0;
};

// The scan of a transfer: the source counts as busy while it runs, so that
// the application cannot end the transfer or close the source from a box.
int scanWhileBusy(TransferServices& services, int dibOrder, int forMemoryTransfer, TW_HANDLE* dib);

// Set once at library attach (and by tests).
void setTransferServices(TransferServices* services);
TransferServices& transferServices();
