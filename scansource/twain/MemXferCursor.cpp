#include "MemXferCursor.h"

namespace {
uint32_t readU32(const uint8_t* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

uint16_t readU16(const uint8_t* p)
{
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

constexpr uint32_t InfoHeaderBytes = 40;
}

bool readDibLayout(const void* dib, size_t blockBytes, DibRows& layout)
{
    if (!dib || blockBytes < InfoHeaderBytes)
        return false;
    const auto* header = static_cast<const uint8_t*>(dib);
    uint32_t headerBytes = readU32(header);
    auto width = static_cast<int32_t>(readU32(header + 4));
    auto height = static_cast<int32_t>(readU32(header + 8));
    uint16_t bitCount = readU16(header + 14);
    uint32_t compression = readU32(header + 16);
    uint32_t sizeImage = readU32(header + 20);
    if (headerBytes < InfoHeaderBytes || width <= 0 || height == 0 || compression != 0)
        return false;
    size_t paletteEntries;
    switch (bitCount) {
    case 1: paletteEntries = 2; break;
    case 8: paletteEntries = 256; break;
    case 24: paletteEntries = 0; break;
    default: return false;
    }
    // A top-down bitmap has a negative height; its rows are stored as delivered.
    uint32_t rows = height < 0 ? 0u - static_cast<uint32_t>(height) : static_cast<uint32_t>(height);
    uint64_t stride = (uint64_t(width) * bitCount + 31) / 32 * 4;
    uint64_t bytesPerRow = sizeImage ? sizeImage / rows : stride;
    if (bytesPerRow < (uint64_t(width) * bitCount + 7) / 8)
        return false;
    uint64_t firstRow = headerBytes + paletteEntries * 4;
    if (firstRow + bytesPerRow * rows > blockBytes)
        return false;
    layout.width = width;
    layout.height = rows;
    layout.bitCount = bitCount;
    layout.bytesPerRow = static_cast<uint32_t>(bytesPerRow);
    layout.firstRowOffset = static_cast<size_t>(firstRow);
    return true;
}

uint32_t stripRows(uint32_t bufferBytes, uint32_t bytesPerRow, uint32_t height, uint32_t rowsDelivered)
{
    if (bytesPerRow == 0 || rowsDelivered >= height)
        return 0;
    uint32_t rows = bufferBytes / bytesPerRow;
    uint32_t remaining = height - rowsDelivered;
    return rows < remaining ? rows : remaining;
}
