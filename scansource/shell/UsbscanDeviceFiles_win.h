#pragma once
// The still-image driver's device files through the real Win32 calls.
#include "DeviceFiles.h"

class UsbscanDeviceFiles : public DeviceFiles {
public:
    DeviceHandle open(const char* name, DeviceAccess access) override;
    bool close(DeviceHandle handle) override;
    bool readDescriptor(DeviceHandle handle, uint8_t descriptor[8]) override;
    bool read(DeviceHandle handle, uint8_t* dst, uint32_t size, uint32_t* received) override;
    bool write(DeviceHandle handle, const uint8_t* src, uint32_t size, uint32_t* written) override;
    bool setTransferTimeout(DeviceHandle handle, uint32_t milliseconds) override;
    uint32_t lastError() override;
};
