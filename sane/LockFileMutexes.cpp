#include "LockFileMutexes.h"

#include <chrono>
#include <thread>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Handles are file descriptors plus one: descriptor 0 is valid, handle 0 is none.
int descriptorOf(MutexHandle mutex) { return static_cast<int>(mutex - 1); }
MutexHandle handleOf(int fd) { return fd < 0 ? kNoMutex : static_cast<MutexHandle>(fd) + 1; }

bool tryLock(int fd) { return flock(fd, LOCK_EX | LOCK_NB) == 0; }

}  // namespace

std::string deviceLockPath(const std::string& key)
{
    // The FHS folder for device locks, world-writable on Debian; a system
    // without one still gets a lock every process can find.
    const char* folder = access("/run/lock", W_OK) == 0 ? "/run/lock" : "/tmp";
    return std::string(folder) + "/vivaro-" + key + ".lock";
}

MutexHandle LockFileMutexes::openExisting(const char*)
{
    // Read access is enough for flock, so a file another user made serves too.
    return handleOf(::open(path_.c_str(), O_RDONLY | O_CLOEXEC));
}

MutexHandle LockFileMutexes::createOwned(const char*)
{
    int fd = ::open(path_.c_str(), O_RDONLY | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0)
        return kNoMutex;
    // Readable by all whatever the umask: the scanner group's users and saned share it.
    fchmod(fd, 0644);
    if (!tryLock(fd)) {
        ::close(fd);
        return kNoMutex;
    }
    return handleOf(fd);
}

bool LockFileMutexes::release(MutexHandle mutex)
{
    return flock(descriptorOf(mutex), LOCK_UN) == 0;
}

MutexWait LockFileMutexes::wait(MutexHandle mutex, uint32_t milliseconds)
{
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    for (;;) {
        if (tryLock(descriptorOf(mutex)))
            return MutexWait::signalled;
        if (std::chrono::steady_clock::now() >= deadline)
            return MutexWait::timedOut;
        sleep(10);
    }
}

bool LockFileMutexes::close(MutexHandle mutex)
{
    return ::close(descriptorOf(mutex)) == 0;
}

void LockFileMutexes::sleep(uint32_t milliseconds)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}
