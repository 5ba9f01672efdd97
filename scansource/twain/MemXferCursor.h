#pragma once
// A memory transfer serves one scanned bitmap in strips of whole rows over
// several DAT_IMAGEMEMXFER calls; the cursor keeps the bitmap between them.
#include <cstddef>
#include <cstdint>

#include "twain.h"

struct MemXferCursor {
    TW_HANDLE dib = nullptr;
    uint32_t rowsDelivered = 0;
};

// Where the rows of a packed DIB lie, read from its header.
struct DibRows {
    int32_t width = 0;
    uint32_t height = 0;
    uint16_t bitCount = 0;
    uint32_t bytesPerRow = 0;
    size_t firstRowOffset = 0;  // after the header and the colour table
};

// False when the header is not one of the source's bitmaps (1, 8 or 24 bits,
// no compression) or the rows do not fit in a block of blockBytes.
bool readDibLayout(const void* dib, size_t blockBytes, DibRows& layout);

// Whole rows that fit in the application's buffer, at most those not yet delivered.
uint32_t stripRows(uint32_t bufferBytes, uint32_t bytesPerRow, uint32_t height, uint32_t rowsDelivered);
