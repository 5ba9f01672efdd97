#pragma once
// The still-image driver's device files as the transport sees them: open by
// name, read the USB device descriptor, bulk reads and writes. The Win32
// implementation makes the real calls; the scanner emulator and the tests'
// recording fakes stand in for it.
#include <cstdint>

using DeviceHandle = intptr_t;
constexpr DeviceHandle kInvalidDevice = -1;

enum class DeviceAccess { readOnly, readWrite };

class DeviceFiles {
public:
    virtual ~DeviceFiles() = default;
    // readOnly opens with read access and read sharing; readWrite with read
    // and write access and sharing.
    virtual DeviceHandle open(const char* name, DeviceAccess access) = 0;
    virtual bool close(DeviceHandle handle) = 0;
    // The 8-byte device descriptor: vendor id, product id, release number,
    // language id, each 16-bit little-endian.
    virtual bool readDescriptor(DeviceHandle handle, uint8_t descriptor[8]) = 0;
    virtual bool read(DeviceHandle handle, uint8_t* dst, uint32_t size, uint32_t* received) = 0;
    virtual bool write(DeviceHandle handle, const uint8_t* src, uint32_t size, uint32_t* written) = 0;
    // How long one bulk transfer on the handle may wait for the device
    // before it fails with kErrorTimeout. The still-image driver counts
    // whole seconds and rounds up; libusb and the emulator take milliseconds.
    virtual bool setTransferTimeout(DeviceHandle handle, uint32_t milliseconds) = 0;
    // The system error code of the last failed call (GetLastError).
    virtual uint32_t lastError() = 0;
};

// Error codes the transport and protocol look at.
constexpr uint32_t kErrorFileNotFound = 2;
constexpr uint32_t kErrorTimeout = 1460;
constexpr uint32_t kErrorDeviceNotConnected = 1167;
