#include "UsbEndpoints.h"

#include "DeviceFiles.h"

namespace {

constexpr uint32_t kErrorGeneralFailure = 31;

bool bulkPipesOf(const libusb_interface_descriptor& setting, BulkPipes* pipes)
{
    BulkPipes found;
    for (int i = 0; i < setting.bNumEndpoints; ++i) {
        const libusb_endpoint_descriptor& e = setting.endpoint[i];
        if ((e.bmAttributes & LIBUSB_TRANSFER_TYPE_MASK) != LIBUSB_TRANSFER_TYPE_BULK)
            continue;
        bool in = (e.bEndpointAddress & LIBUSB_ENDPOINT_DIR_MASK) == LIBUSB_ENDPOINT_IN;
        uint8_t& slot = in ? found.in : found.out;
        if (slot == 0)
            slot = e.bEndpointAddress;
    }
    if (found.in == 0 || found.out == 0)
        return false;
    found.interfaceNumber = setting.bInterfaceNumber;
    *pipes = found;
    return true;
}

}  // namespace

bool findBulkPipes(const libusb_config_descriptor& config, BulkPipes* pipes)
{
    bool found = false;
    for (int i = 0; i < config.bNumInterfaces; ++i) {
        const libusb_interface& interface = config.interface[i];
        BulkPipes candidate;
        if (interface.num_altsetting < 1 || !bulkPipesOf(interface.altsetting[0], &candidate))
            continue;
        if (interface.altsetting[0].bInterfaceClass == LIBUSB_CLASS_VENDOR_SPEC) {
            *pipes = candidate;
            return true;
        }
        if (!found) {
            *pipes = candidate;
            found = true;
        }
    }
    return found;
}

uint32_t systemErrorForUsb(int libusbError)
{
    switch (libusbError) {
    case LIBUSB_ERROR_TIMEOUT:
        return kErrorTimeout;
    case LIBUSB_ERROR_NO_DEVICE:
        return kErrorDeviceNotConnected;
    default:
        return kErrorGeneralFailure;
    }
}
