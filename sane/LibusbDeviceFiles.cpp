#include "LibusbDeviceFiles.h"

#include "Debug.h"
#include "ScanStatus.h"
#include "UsbTransportCore.h"


namespace {

// Until the transport sets its own: a second, as the transport's.
constexpr unsigned kDefaultTimeoutMilliseconds = 1000;
constexpr uint32_t kErrorInvalidHandle = 6;
constexpr uint16_t kEnglishUnitedStates = 0x0409;

libusb_device* findDevice(libusb_device** list, ssize_t count, uint8_t bus, uint8_t address)
{
    for (ssize_t i = 0; i < count; ++i) {
        if (libusb_get_bus_number(list[i]) == bus && libusb_get_device_address(list[i]) == address)
            return list[i];
    }
    return nullptr;
}

}  // namespace

LibusbDeviceFiles::LibusbDeviceFiles(libusb_context* context, uint8_t bus, uint8_t address)
    : context_(context), bus_(bus), address_(address)
{
}

LibusbDeviceFiles::~LibusbDeviceFiles()
{
    closeDevice();
}

bool LibusbDeviceFiles::fail(int libusbError)
{
    lastError_ = systemErrorForUsb(libusbError);
    return false;
}

bool LibusbDeviceFiles::openDevice()
{
    libusb_device** list = nullptr;
    ssize_t count = libusb_get_device_list(context_, &list);
    libusb_device* device = count > 0 ? findDevice(list, count, bus_, address_) : nullptr;
    int result = device ? libusb_open(device, &device_) : LIBUSB_ERROR_NO_DEVICE;
    libusb_config_descriptor* config = nullptr;
    if (result == 0)
        result = libusb_get_active_config_descriptor(device, &config);
    if (result == 0 && !findBulkPipes(*config, &pipes_))
        result = LIBUSB_ERROR_NOT_FOUND;
    if (config)
        libusb_free_config_descriptor(config);
    if (list)
        libusb_free_device_list(list, 1);
    if (result != 0) {
        debugMessage(1, "cannot open USB device %03u:%03u: %s%s", bus_, address_, libusb_error_name(result),
                     result == LIBUSB_ERROR_ACCESS ? " (is the user in the scanner group, the udev rule installed?)"
                                                   : "");
        if (device_)
            libusb_close(device_);
        device_ = nullptr;
        lastError_ = result == LIBUSB_ERROR_ACCESS ? kErrorAccessDenied : kErrorFileNotFound;
        return false;
    }
    debugMessage(2, "USB device %03u:%03u: interface %d, bulk-in 0x%02x, bulk-out 0x%02x", bus_, address_,
                 pipes_.interfaceNumber, pipes_.in, pipes_.out);
    return true;
}

bool LibusbDeviceFiles::claimInterface()
{
    if (claimed_)
        return true;
    libusb_set_auto_detach_kernel_driver(device_, 1);
    int result = libusb_claim_interface(device_, pipes_.interfaceNumber);
    if (result != 0) {
        debugMessage(1, "cannot claim interface %d of USB device %03u:%03u: %s", pipes_.interfaceNumber, bus_,
                     address_, libusb_error_name(result));
        return fail(result);
    }
    claimed_ = true;
    return true;
}

void LibusbDeviceFiles::closeDevice()
{
    if (!device_)
        return;
    if (claimed_)
        libusb_release_interface(device_, pipes_.interfaceNumber);
    claimed_ = false;
    libusb_close(device_);
    device_ = nullptr;
}

DeviceHandle LibusbDeviceFiles::open(const char* name, DeviceAccess)
{
    if (name != usbscanDeviceName(0, 0) && name != usbscanDeviceName(0, 1)) {
        // The transport goes on to try other device files: a refusal of
        // this device stays the error it ends with.
        if (lastError_ != kErrorAccessDenied)
            lastError_ = kErrorFileNotFound;
        return kInvalidDevice;
    }
    if (!device_ && !openDevice())
        return kInvalidDevice;
    lastError_ = 0;
    DeviceHandle handle = nextHandle_++;
    handles_[handle] = kDefaultTimeoutMilliseconds;
    return handle;
}

bool LibusbDeviceFiles::close(DeviceHandle handle)
{
    if (handles_.erase(handle) == 0) {
        lastError_ = kErrorInvalidHandle;
        return false;
    }
    if (handles_.empty())
        closeDevice();
    return true;
}

const unsigned* LibusbDeviceFiles::timeoutOf(DeviceHandle handle)
{
    auto found = handles_.find(handle);
    if (found == handles_.end() || !device_) {
        lastError_ = kErrorInvalidHandle;
        return nullptr;
    }
    return &found->second;
}

bool LibusbDeviceFiles::setTransferTimeout(DeviceHandle handle, uint32_t milliseconds)
{
    auto found = handles_.find(handle);
    if (found == handles_.end()) {
        lastError_ = kErrorInvalidHandle;
        return false;
    }
    found->second = milliseconds;
    return true;
}

bool LibusbDeviceFiles::readDescriptor(DeviceHandle handle, uint8_t d[8])
{
    if (!timeoutOf(handle))
        return false;
    libusb_device_descriptor descriptor{};
    int result = libusb_get_device_descriptor(libusb_get_device(device_), &descriptor);
    if (result != 0)
        return fail(result);
    const uint16_t fields[4] = {descriptor.idVendor, descriptor.idProduct, descriptor.bcdDevice,
                                kEnglishUnitedStates};
    for (int i = 0; i < 4; ++i) {
        d[2 * i] = static_cast<uint8_t>(fields[i] & 0xFF);
        d[2 * i + 1] = static_cast<uint8_t>(fields[i] >> 8);
    }
    return true;
}

bool LibusbDeviceFiles::read(DeviceHandle handle, uint8_t* dst, uint32_t size, uint32_t* received)
{
    *received = 0;
    const unsigned* timeout = timeoutOf(handle);
    if (!timeout || !claimInterface())
        return false;
    int transferred = 0;
    int result = libusb_bulk_transfer(device_, pipes_.in, dst, static_cast<int>(size), &transferred, *timeout);
    // Bytes that arrived before a time-out are bytes read.
    if (result == 0 || (result == LIBUSB_ERROR_TIMEOUT && transferred > 0)) {
        *received = static_cast<uint32_t>(transferred);
        return true;
    }
    debugMessage(3, "bulk-in: %s", libusb_error_name(result));
    return fail(result);
}

bool LibusbDeviceFiles::write(DeviceHandle handle, const uint8_t* src, uint32_t size, uint32_t* written)
{
    *written = 0;
    const unsigned* timeout = timeoutOf(handle);
    if (!timeout || !claimInterface())
        return false;
    int transferred = 0;
    int result = libusb_bulk_transfer(device_, pipes_.out, const_cast<uint8_t*>(src), static_cast<int>(size),
                                      &transferred, *timeout);
    if (result == 0 || (result == LIBUSB_ERROR_TIMEOUT && transferred > 0)) {
        *written = static_cast<uint32_t>(transferred);
        return true;
    }
    debugMessage(3, "bulk-out: %s", libusb_error_name(result));
    return fail(result);
}
