#pragma once
// Recording stand-ins for the device files, the system mutexes and the
// user-facing notices.
#include "AccessMutex.h"
#include "DeviceFiles.h"
#include "DeviceNotices.h"
#include "ScannerLink.h"

#include <deque>
#include <map>
#include <string>
#include <vector>

struct FakeDevice {
    uint16_t vendorId;
    uint16_t productId;
};

class FakeDeviceFiles : public DeviceFiles {
public:
    // A device at index n answers on "\\.\Usbscan<n>\0" and "\1".
    void plug(int index, uint16_t vendor, uint16_t product)
    {
        devices[index] = {vendor, product};
    }

    DeviceHandle open(const char* name, DeviceAccess access) override
    {
        std::string n = name;
        opened.push_back(n + (access == DeviceAccess::readOnly ? " r" : " rw"));
        for (auto& [index, device] : devices) {
            std::string base = "\\\\.\\Usbscan" + std::to_string(index) + "\\";
            if (n == base + "0" || n == base + "1") {
                DeviceHandle h = nextHandle++;
                handles[h] = n;
                return h;
            }
        }
        error = kErrorFileNotFound;
        return kInvalidDevice;
    }

    bool close(DeviceHandle handle) override
    {
        closed.push_back(handles.count(handle) ? handles[handle] : "?");
        handles.erase(handle);
        return closeSucceeds;
    }

    bool readDescriptor(DeviceHandle handle, uint8_t d[8]) override
    {
        std::string n = handles[handle];
        for (auto& [index, device] : devices) {
            if (n == "\\\\.\\Usbscan" + std::to_string(index) + "\\0") {
                d[0] = device.vendorId & 0xFF;
                d[1] = device.vendorId >> 8;
                d[2] = device.productId & 0xFF;
                d[3] = device.productId >> 8;
                return true;
            }
        }
        return false;
    }

    // Queues one bulk-in transfer.
    void deliver(std::vector<uint8_t> transfer) { transfers.push_back(std::move(transfer)); }

    bool read(DeviceHandle, uint8_t* dst, uint32_t size, uint32_t* received) override
    {
        readSizes.push_back(size);
        *received = 0;
        if (transfers.empty()) {
            error = readError;
            return false;
        }
        std::vector<uint8_t> t = std::move(transfers.front());
        transfers.pop_front();
        uint32_t n = t.size() < size ? static_cast<uint32_t>(t.size()) : size;
        std::copy(t.begin(), t.begin() + n, dst);
        *received = n;
        return true;
    }

    bool write(DeviceHandle, const uint8_t* src, uint32_t size, uint32_t* written) override
    {
        if (writesLeftBeforeFailure == 0) {
            error = 31;
            *written = 0;
            return false;
        }
        --writesLeftBeforeFailure;
        writes.emplace_back(src, src + size);
        *written = size;
        return true;
    }

    bool setTransferTimeout(DeviceHandle handle, uint32_t milliseconds) override
    {
        timeouts.push_back(handles[handle] + " " + std::to_string(milliseconds));
        return true;
    }

    uint32_t lastError() override { return error; }

    std::vector<uint32_t> writeSizes() const
    {
        std::vector<uint32_t> sizes;
        for (auto& w : writes)
            sizes.push_back(static_cast<uint32_t>(w.size()));
        return sizes;
    }

    std::map<int, FakeDevice> devices;
    std::map<DeviceHandle, std::string> handles;
    std::vector<std::string> opened;
    std::vector<std::string> closed;
    std::deque<std::vector<uint8_t>> transfers;
    std::vector<uint32_t> readSizes;
    std::vector<std::vector<uint8_t>> writes;
    std::vector<std::string> timeouts;  // "<device file> <milliseconds>"
    int writesLeftBeforeFailure = 1 << 30;
    bool closeSucceeds = true;
    uint32_t readError = kErrorTimeout;
    uint32_t error = 0;
    DeviceHandle nextHandle = 100;
};

class FakeMutexes : public SystemMutexes {
public:
    MutexHandle openExisting(const char* name) override
    {
        log.push_back(std::string("open ") + name);
        return existing.count(name) ? existing[name] : kNoMutex;
    }
    MutexHandle createOwned(const char* name) override
    {
        log.push_back(std::string("create ") + name);
        if (!canCreate)
            return kNoMutex;
        return existing[name] = nextHandle++;
    }
    bool release(MutexHandle) override
    {
        log.push_back("release");
        return true;
    }
    MutexWait wait(MutexHandle, uint32_t ms) override
    {
        log.push_back("wait " + std::to_string(ms));
        return waitResult;
    }
    bool close(MutexHandle) override
    {
        log.push_back("close");
        return true;
    }
    void sleep(uint32_t ms) override { sleptMs += ms; }

    std::map<std::string, MutexHandle> existing;
    std::vector<std::string> log;
    MutexWait waitResult = MutexWait::signalled;
    bool canCreate = true;
    uint32_t sleptMs = 0;
    MutexHandle nextHandle = 7;
};

class RecordingNotices : public DeviceNotices {
public:
    void trace(const char* text) override { traces.push_back(text); }
    void showWarning(unsigned id, bool show) override { (show ? shown : traced).push_back(id); }
    void traceWarningValue(unsigned id, int value) override
    {
        traced.push_back(id);
        tracedValues.push_back(value);
    }
    std::string systemErrorText(uint32_t code) override { return "error " + std::to_string(code); }

    std::vector<std::string> traces;
    std::vector<unsigned> shown;
    std::vector<unsigned> traced;
    std::vector<int> tracedValues;
};

// A transport whose replies the test scripts: every read takes the next
// queued bytes; writes are recorded.
class ScriptedLink : public ScannerLink {
public:
    int open() override
    {
        ++opens;
        return openResult;
    }
    int close() override
    {
        ++closes;
        return closeResult;
    }
    int write(const uint8_t* data, uint32_t length) override
    {
        if (writeFails) {
            error = 31;
            return 1002;
        }
        written.emplace_back(data, data + length);
        return 1000;
    }
    int read(uint8_t* dst, uint32_t length) override
    {
        if (++reads == failAtRead) {
            error = kErrorTimeout;
            return 1002;
        }
        if (failures > 0) {
            --failures;
            error = failureError;
            return 1002;
        }
        if (incoming.size() < length) {
            error = kErrorDeviceNotConnected;
            return 1002;
        }
        for (uint32_t i = 0; i < length; ++i) {
            dst[i] = incoming.front();
            incoming.pop_front();
        }
        return 1000;
    }
    // Counted only: the script says what later reads return.
    void purge() override { ++purges; }
    uint32_t lastError() const override { return error; }

    void queue(std::initializer_list<uint8_t> bytes) { incoming.insert(incoming.end(), bytes); }
    void reply(uint8_t status, uint8_t detail = 0) { queue({0x1B, 'S', 0, status, detail, 0, 0, 0}); }

    std::deque<uint8_t> incoming;
    std::vector<std::vector<uint8_t>> written;
    int openResult = 100;
    int closeResult = 1;
    int opens = 0;
    int closes = 0;
    int purges = 0;
    bool writeFails = false;
    int failures = 0;
    int reads = 0;
    int failAtRead = -1;
    uint32_t failureError = kErrorTimeout;
    uint32_t error = 0;
};
