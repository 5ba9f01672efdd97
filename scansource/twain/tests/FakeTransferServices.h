#pragma once
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "TransferServices.h"

// Movable memory as heap blocks, a scan that hands out a prepared bitmap,
// the capability values as plain fields and a file system of names.
class FakeTransferServices : public TransferServices {
public:
    // What the next scanImage answers: the result and, for 100, this bitmap.
    int scanResult = 100;
    std::vector<uint8_t> scannedDib;
    int scans = 0;
    // The application's calls from its message loop while the scan shows a box.
    std::function<void()> duringScan;
    int lastDibOrder = -1;
    int lastForMemoryTransfer = -1;

    int feederStatus = 0;
    int feederQueries = 0;
    int units = 0;
    bool feeder = false;
    int jpegQuality = -2;
    int imageFileFormat = 2;

    int saveResult = 1;
    std::vector<std::pair<TransferFileChoice, std::string>> saves;

    std::string temporaryFile = "C:\\TEMP\\ZVP41A.tmp";
    bool filesCreate = true;
    int throwFromTemporaryFile = 0;  // 1: std::bad_alloc, 2: another exception
    std::vector<std::string> files;

    int scanImage(int dibOrder, int forMemoryTransfer, TW_HANDLE* dib) override;
    int queryFeederStatus(int reportCovers) override;
    int bitDepthOfPixelType(int type) override { return type == 0 ? 1 : type == 1 ? 8 : 24; }
    int currentUnits() override { return units; }
    bool feederEnabled() override { return feeder; }
    int currentJpegQuality() override { return jpegQuality; }
    void setImageFileFormat(TW_UINT16 format) override { imageFileFormat = format; }
    int SaveImageFile(TW_HANDLE dib, const TransferFileChoice& choice, const std::string& path) override;
    void* lockMemory(TW_HANDLE handle) override;
    void unlockMemory(TW_HANDLE handle) override;
    size_t memorySize(TW_HANDLE handle) override;
    void freeMemory(TW_HANDLE handle) override;
    std::string createTemporaryFile(const char* prefix) override;
    bool fileExists(const std::string& path) override;
    bool createEmptyFile(const std::string& path) override;

    TW_HANDLE allocate(const std::vector<uint8_t>& bytes);
    std::vector<uint8_t>& bytes(TW_HANDLE handle);
    size_t liveBlocks() const { return blocks.size(); }
    int locksHeld() const;

private:
    struct Block {
        std::vector<uint8_t> bytes;
        int locks = 0;
    };
    std::map<TW_HANDLE, std::unique_ptr<Block>> blocks;
};

// A packed DIB of the source's layout whose stored row r holds the byte r+1
// in every position, so that a copy of the wrong rows shows.
std::vector<uint8_t> makeDib(int32_t width, int32_t height, uint16_t bitCount);
