#pragma once
// Heap blocks for native code (tests and tools), with allocation failures
// on demand.
#include "MemoryBlocks.h"

class HeapMemoryBlocks : public MemoryBlocks {
public:
    void* allocate(size_t size, bool zeroInitialise) override;
    uint8_t* lock(void* block) override;
    void unlock(void* block) override;
    void release(void* block) override;
    size_t blockSize(void* block) override;

    // Allocations of at least minimumSize bytes fail from now on (0: none do).
    void failAllocationsFrom(size_t minimumSize) { failFrom_ = minimumSize; }
    int liveBlocks() const { return live_; }

private:
    size_t failFrom_ = 0;
    int live_ = 0;
};
