#include "shell/UsbscanDeviceFiles_win.h"

#include <windows.h>

namespace {

// The still-image driver's IOCTL_GET_DEVICE_DESCRIPTOR and IOCTL_SET_TIMEOUT.
constexpr DWORD kGetDeviceDescriptor = 0x80002018;
constexpr DWORD kSetTimeout = 0x8000202C;

// The driver's USBSCAN_TIMEOUT: read, write and event time-outs in seconds.
struct TransferTimeouts {
    ULONG read;
    ULONG write;
    ULONG event;
};

HANDLE toHandle(DeviceHandle handle) { return reinterpret_cast<HANDLE>(handle); }

}  // namespace

DeviceHandle UsbscanDeviceFiles::open(const char* name, DeviceAccess access)
{
    DWORD desired = access == DeviceAccess::readOnly ? GENERIC_READ : GENERIC_READ | GENERIC_WRITE;
    DWORD share = access == DeviceAccess::readOnly ? FILE_SHARE_READ : FILE_SHARE_READ | FILE_SHARE_WRITE;
    HANDLE file = CreateFileA(name, desired, share, nullptr, OPEN_EXISTING, 0, nullptr);
    return file == INVALID_HANDLE_VALUE ? kInvalidDevice : reinterpret_cast<DeviceHandle>(file);
}

bool UsbscanDeviceFiles::close(DeviceHandle handle)
{
    return CloseHandle(toHandle(handle)) != FALSE;
}

bool UsbscanDeviceFiles::readDescriptor(DeviceHandle handle, uint8_t descriptor[8])
{
    DWORD returned = 0;
    return DeviceIoControl(toHandle(handle), kGetDeviceDescriptor, descriptor, 8, descriptor, 8, &returned,
                           nullptr) != FALSE;
}

bool UsbscanDeviceFiles::read(DeviceHandle handle, uint8_t* dst, uint32_t size, uint32_t* received)
{
    DWORD got = 0;
    BOOL ok = ReadFile(toHandle(handle), dst, size, &got, nullptr);
    *received = got;
    return ok != FALSE;
}

bool UsbscanDeviceFiles::write(DeviceHandle handle, const uint8_t* src, uint32_t size, uint32_t* written)
{
    DWORD put = 0;
    BOOL ok = WriteFile(toHandle(handle), src, size, &put, nullptr);
    *written = put;
    return ok != FALSE;
}

// The driver knows whole seconds only: a time-out is rounded up to them.
bool UsbscanDeviceFiles::setTransferTimeout(DeviceHandle handle, uint32_t milliseconds)
{
    ULONG seconds = (milliseconds + 999) / 1000;
    TransferTimeouts timeouts{seconds, seconds, seconds};
    DWORD returned = 0;
    return DeviceIoControl(toHandle(handle), kSetTimeout, &timeouts, sizeof timeouts, nullptr, 0, &returned,
                           nullptr) != FALSE;
}

uint32_t UsbscanDeviceFiles::lastError()
{
    return GetLastError();
}
