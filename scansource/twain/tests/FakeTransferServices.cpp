#include "FakeTransferServices.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <stdexcept>

int FakeTransferServices::scanImage(int dibOrder, int forMemoryTransfer, TW_HANDLE* dib)
{
    ++scans;
    if (duringScan)
        duringScan();
    lastDibOrder = dibOrder;
    lastForMemoryTransfer = forMemoryTransfer;
    *dib = scanResult == 100 ? allocate(scannedDib) : nullptr;
    return scanResult;
}

int FakeTransferServices::queryFeederStatus(int)
{
    ++feederQueries;
    return feederStatus;
}

int FakeTransferServices::SaveImageFile(TW_HANDLE dib, const TransferFileChoice& choice, const std::string& path)
{
    if (!blocks.count(dib))
        return -1;
    saves.emplace_back(choice, path);
    return saveResult;
}

void* FakeTransferServices::lockMemory(TW_HANDLE handle)
{
    auto found = blocks.find(handle);
    if (found == blocks.end())
        return nullptr;
    ++found->second->locks;
    return found->second->bytes.data();
}

void FakeTransferServices::unlockMemory(TW_HANDLE handle)
{
    auto found = blocks.find(handle);
    if (found != blocks.end() && found->second->locks > 0)
        --found->second->locks;
}

size_t FakeTransferServices::memorySize(TW_HANDLE handle)
{
    auto found = blocks.find(handle);
    return found == blocks.end() ? 0 : found->second->bytes.size();
}

void FakeTransferServices::freeMemory(TW_HANDLE handle)
{
    blocks.erase(handle);
}

std::string FakeTransferServices::createTemporaryFile(const char* prefix)
{
    if (throwFromTemporaryFile == 1)
        throw std::bad_alloc();
    if (throwFromTemporaryFile == 2)
        throw std::runtime_error("no temporary file");
    if (!filesCreate || std::strcmp(prefix, "ZVP4") != 0)
        return std::string();
    files.push_back(temporaryFile);
    return temporaryFile;
}

bool FakeTransferServices::fileExists(const std::string& path)
{
    return std::find(files.begin(), files.end(), path) != files.end();
}

bool FakeTransferServices::createEmptyFile(const std::string& path)
{
    if (!filesCreate)
        return false;
    files.push_back(path);
    return true;
}

TW_HANDLE FakeTransferServices::allocate(const std::vector<uint8_t>& bytes)
{
    auto block = std::make_unique<Block>();
    block->bytes = bytes;
    TW_HANDLE handle = block.get();
    blocks[handle] = std::move(block);
    return handle;
}

std::vector<uint8_t>& FakeTransferServices::bytes(TW_HANDLE handle)
{
    return blocks.at(handle)->bytes;
}

int FakeTransferServices::locksHeld() const
{
    int locks = 0;
    for (const auto& entry : blocks)
        locks += entry.second->locks;
    return locks;
}

std::vector<uint8_t> makeDib(int32_t width, int32_t height, uint16_t bitCount)
{
    uint32_t stride = (uint32_t(width) * bitCount + 31) / 32 * 4;
    uint32_t rows = height < 0 ? uint32_t(-height) : uint32_t(height);
    uint32_t palette = bitCount == 1 ? 2 : bitCount == 8 ? 256 : 0;
    std::vector<uint8_t> dib(40 + palette * 4 + stride * rows);
    auto put32 = [&](size_t at, uint32_t value) { std::memcpy(&dib[at], &value, 4); };
    put32(0, 40);
    put32(4, uint32_t(width));
    put32(8, uint32_t(height));
    dib[12] = 1;
    dib[14] = static_cast<uint8_t>(bitCount);
    put32(20, stride * rows);
    for (uint32_t r = 0; r < rows; ++r)
        std::memset(&dib[40 + palette * 4 + r * stride], int(r + 1), stride);
    return dib;
}
