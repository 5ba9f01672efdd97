#include "HeapMemoryBlocks.h"

#include <cstdlib>
#include <cstring>

// A block is its size followed by the bytes.
void* HeapMemoryBlocks::allocate(size_t size, bool zeroInitialise)
{
    if (failFrom_ != 0 && size >= failFrom_)
        return nullptr;
    if (size > SIZE_MAX - sizeof(size_t))
        return nullptr;
    void* block = zeroInitialise ? std::calloc(1, sizeof(size_t) + size) : std::malloc(sizeof(size_t) + size);
    if (!block)
        return nullptr;
    std::memcpy(block, &size, sizeof size);
    ++live_;
    return block;
}

uint8_t* HeapMemoryBlocks::lock(void* block)
{
    return block ? static_cast<uint8_t*>(block) + sizeof(size_t) : nullptr;
}

void HeapMemoryBlocks::unlock(void*) {}

void HeapMemoryBlocks::release(void* block)
{
    if (!block)
        return;
    std::free(block);
    --live_;
}

size_t HeapMemoryBlocks::blockSize(void* block)
{
    size_t size = 0;
    if (block)
        std::memcpy(&size, block, sizeof size);
    return size;
}
