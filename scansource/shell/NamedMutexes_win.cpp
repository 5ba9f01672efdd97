#include "shell/NamedMutexes_win.h"

#include <windows.h>

namespace {

constexpr DWORD kMutexAllAccess = 0x001F0001;

HANDLE toHandle(MutexHandle mutex) { return reinterpret_cast<HANDLE>(mutex); }

}  // namespace

MutexHandle NamedMutexes::openExisting(const char* name)
{
    return reinterpret_cast<MutexHandle>(OpenMutexA(kMutexAllAccess, FALSE, name));
}

MutexHandle NamedMutexes::createOwned(const char* name)
{
    return reinterpret_cast<MutexHandle>(CreateMutexA(nullptr, TRUE, name));
}

bool NamedMutexes::release(MutexHandle mutex)
{
    return ReleaseMutex(toHandle(mutex)) != FALSE;
}

MutexWait NamedMutexes::wait(MutexHandle mutex, uint32_t milliseconds)
{
    switch (WaitForSingleObject(toHandle(mutex), milliseconds)) {
    case WAIT_OBJECT_0:
        return MutexWait::signalled;
    case WAIT_TIMEOUT:
        return MutexWait::timedOut;
    case WAIT_ABANDONED:
        return MutexWait::abandoned;
    default:
        return MutexWait::failed;
    }
}

bool NamedMutexes::close(MutexHandle mutex)
{
    return CloseHandle(toHandle(mutex)) != FALSE;
}

void NamedMutexes::sleep(uint32_t milliseconds)
{
    Sleep(milliseconds);
}
