#pragma once
// The named system mutex that keeps other processes off the scanner, and
// the short sleep the writer takes while the pipe is busy.
#include <cstdint>

using MutexHandle = intptr_t;
constexpr MutexHandle kNoMutex = 0;

enum class MutexWait { signalled, timedOut, abandoned, failed };

class SystemMutexes {
public:
    virtual ~SystemMutexes() = default;
    virtual MutexHandle openExisting(const char* name) = 0;
    // Creates the mutex initially owned by the caller.
    virtual MutexHandle createOwned(const char* name) = 0;
    virtual bool release(MutexHandle mutex) = 0;
    virtual MutexWait wait(MutexHandle mutex, uint32_t milliseconds) = 0;
    virtual bool close(MutexHandle mutex) = 0;
    virtual void sleep(uint32_t milliseconds) = 0;
};
