#pragma once
// The scanner's access lock between processes: an exclusive flock on one
// lock file per device, in the place of the source's named mutex. Whoever
// holds it has the device; another process (or another handle in this one)
// waits the transport's second for it and is then told the device is busy.
#include "AccessMutex.h"

#include <string>

class LockFileMutexes : public SystemMutexes {
public:
    explicit LockFileMutexes(std::string path) : path_(std::move(path)) {}

    // The transport names the mutex after its device file name, which is the
    // same for every device here: the lock file given at construction is
    // what tells devices apart, so the names are not used.
    MutexHandle openExisting(const char* name) override;
    MutexHandle createOwned(const char* name) override;
    bool release(MutexHandle mutex) override;
    MutexWait wait(MutexHandle mutex, uint32_t milliseconds) override;
    bool close(MutexHandle mutex) override;
    void sleep(uint32_t milliseconds) override;

    const std::string& path() const { return path_; }

private:
    std::string path_;
};

// The lock file of a device: key names the device ("libusb-001-004", or a
// digest of an emulator's path) in the system's lock folder.
std::string deviceLockPath(const std::string& key);
