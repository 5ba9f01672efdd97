#include "GlobalMemoryBlocks_win.h"

#include <windows.h>

void* GlobalMemoryBlocks::allocate(size_t size, bool zeroInitialise)
{
    return GlobalAlloc(GMEM_MOVEABLE | (zeroInitialise ? GMEM_ZEROINIT : 0), size);
}

uint8_t* GlobalMemoryBlocks::lock(void* block)
{
    return static_cast<uint8_t*>(GlobalLock(block));
}

void GlobalMemoryBlocks::unlock(void* block)
{
    GlobalUnlock(block);
}

void GlobalMemoryBlocks::release(void* block)
{
    if (block)
        GlobalFree(block);
}

size_t GlobalMemoryBlocks::blockSize(void* block)
{
    return GlobalSize(block);
}
