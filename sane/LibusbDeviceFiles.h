#pragma once
// One USB scanner through libusb, shown to the transport as the still-image
// driver's device files of index 0: "\\.\Usbscan0\0" is the bulk-in pipe
// (and the descriptor), "\\.\Usbscan0\1" the bulk-out pipe. The device is
// open while any of them is; its interface is claimed at the first
// transfer, after the transport has taken the device's lock, so that a
// second process finds the lock taken (busy) rather than the interface.
#include "DeviceFiles.h"
#include "UsbEndpoints.h"

#include <libusb.h>

#include <map>

class LibusbDeviceFiles : public DeviceFiles {
public:
    LibusbDeviceFiles(libusb_context* context, uint8_t bus, uint8_t address);
    ~LibusbDeviceFiles() override;

    DeviceHandle open(const char* name, DeviceAccess access) override;
    bool close(DeviceHandle handle) override;
    bool readDescriptor(DeviceHandle handle, uint8_t descriptor[8]) override;
    bool read(DeviceHandle handle, uint8_t* dst, uint32_t size, uint32_t* received) override;
    bool write(DeviceHandle handle, const uint8_t* src, uint32_t size, uint32_t* written) override;
    bool setTransferTimeout(DeviceHandle handle, uint32_t milliseconds) override;
    uint32_t lastError() override { return lastError_; }

private:
    bool openDevice();
    bool claimInterface();
    void closeDevice();
    bool fail(int libusbError);
    // The open handle's transfer time-out, or null for a handle not open.
    const unsigned* timeoutOf(DeviceHandle handle);

    libusb_context* context_;
    uint8_t bus_;
    uint8_t address_;
    libusb_device_handle* device_ = nullptr;
    BulkPipes pipes_;
    bool claimed_ = false;
    std::map<DeviceHandle, unsigned> handles_;  // open handles and their transfer time-outs
    DeviceHandle nextHandle_ = 1;
    uint32_t lastError_ = 0;
};
