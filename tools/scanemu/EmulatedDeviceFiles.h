#pragma once
// The still-image device files of a machine with the emulated scanner
// plugged in at its configured index, and nothing else.
#include "DeviceFiles.h"
#include "ScannerEmulator.h"

#include <map>
#include <memory>
#include <string>

class EmulatedDeviceFiles : public DeviceFiles {
public:
    explicit EmulatedDeviceFiles(std::unique_ptr<ScannerEmulator> emulator);

    // Builds the emulator from ZVP4_EMULATOR's value; null with a reason
    // when the page or the configuration cannot be used. Without a clock the
    // emulator lives in real time.
    static std::unique_ptr<EmulatedDeviceFiles> fromSetting(const std::string& path, std::string& error,
                                                            ScannerEmulator::Clock clock = {},
                                                            ScannerEmulator::Sleep sleep = {});

    DeviceHandle open(const char* name, DeviceAccess access) override;
    bool close(DeviceHandle handle) override;
    bool readDescriptor(DeviceHandle handle, uint8_t descriptor[8]) override;
    bool read(DeviceHandle handle, uint8_t* dst, uint32_t size, uint32_t* received) override;
    bool write(DeviceHandle handle, const uint8_t* src, uint32_t size, uint32_t* written) override;
    bool setTransferTimeout(DeviceHandle handle, uint32_t milliseconds) override;
    uint32_t lastError() override { return lastError_; }

    ScannerEmulator& emulator() { return *emulator_; }
    size_t openHandles() const { return handles_.size(); }

private:
    bool known(DeviceHandle handle);

    std::unique_ptr<ScannerEmulator> emulator_;
    std::map<DeviceHandle, uint32_t> handles_;  // with each one's transfer time-out
    DeviceHandle nextHandle_ = 0x4000;
    uint32_t lastError_ = 0;
};
