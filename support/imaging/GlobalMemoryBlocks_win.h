#pragma once
// Movable global memory (GlobalAlloc) as MemoryBlocks: the blocks that DIBs
// live in between the imaging library, the data source and applications.
#include "MemoryBlocks.h"

class GlobalMemoryBlocks : public MemoryBlocks {
public:
    void* allocate(size_t size, bool zeroInitialise) override;
    uint8_t* lock(void* block) override;
    void unlock(void* block) override;
    void release(void* block) override;
    size_t blockSize(void* block) override;
};
