#pragma once
// Movable memory blocks as the imaging library and the data source hand
// them to each other (global memory on Windows). A seam: the library and
// the source use the system's blocks, native tests a heap with failures
// on demand.
#include <cstddef>
#include <cstdint>

class MemoryBlocks {
public:
    virtual ~MemoryBlocks() = default;
    // A new block of size bytes, zeroed when asked; null when it cannot be had.
    virtual void* allocate(size_t size, bool zeroInitialise) = 0;
    virtual uint8_t* lock(void* block) = 0;
    virtual void unlock(void* block) = 0;
    virtual void release(void* block) = 0;
    virtual size_t blockSize(void* block) = 0;
};

// Locks a block for the life of a scope.
class LockedBlock {
public:
    LockedBlock(MemoryBlocks& memory, void* block) : memory_(memory), block_(block)
    {
        bytes_ = block ? memory.lock(block) : nullptr;
    }
    ~LockedBlock()
    {
        if (bytes_)
            memory_.unlock(block_);
    }
    LockedBlock(const LockedBlock&) = delete;
    LockedBlock& operator=(const LockedBlock&) = delete;
    uint8_t* bytes() const { return bytes_; }
    size_t size() const { return bytes_ ? memory_.blockSize(block_) : 0; }

private:
    MemoryBlocks& memory_;
    void* block_;
    uint8_t* bytes_;
};
