#pragma once
// Named system mutexes and Sleep through the real Win32 calls.
#include "AccessMutex.h"

class NamedMutexes : public SystemMutexes {
public:
    MutexHandle openExisting(const char* name) override;
    MutexHandle createOwned(const char* name) override;
    bool release(MutexHandle mutex) override;
    MutexWait wait(MutexHandle mutex, uint32_t milliseconds) override;
    bool close(MutexHandle mutex) override;
    void sleep(uint32_t milliseconds) override;
};
