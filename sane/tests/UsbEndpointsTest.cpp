#include "UsbEndpoints.h"

#include "DeviceFiles.h"

#include <gtest/gtest.h>

namespace {

libusb_endpoint_descriptor endpoint(uint8_t address, uint8_t type)
{
    libusb_endpoint_descriptor e{};
    e.bEndpointAddress = address;
    e.bmAttributes = type;
    return e;
}

libusb_interface_descriptor setting(uint8_t number, uint8_t interfaceClass,
                                    const std::vector<libusb_endpoint_descriptor>& endpoints)
{
    libusb_interface_descriptor d{};
    d.bInterfaceNumber = number;
    d.bInterfaceClass = interfaceClass;
    d.bNumEndpoints = static_cast<uint8_t>(endpoints.size());
    d.endpoint = endpoints.data();
    return d;
}

}  // namespace

TEST(UsbEndpoints, TheScannerInterfaceIsTheVendorOneWithBothBulkPipes)
{
    // A multi-function device: a printer interface with bulk pipes of its
    // own, then the scanner's vendor interface with an interrupt endpoint.
    std::vector<libusb_endpoint_descriptor> printer = {endpoint(0x01, LIBUSB_TRANSFER_TYPE_BULK),
                                                       endpoint(0x81, LIBUSB_TRANSFER_TYPE_BULK)};
    std::vector<libusb_endpoint_descriptor> scanner = {endpoint(0x85, LIBUSB_TRANSFER_TYPE_INTERRUPT),
                                                       endpoint(0x83, LIBUSB_TRANSFER_TYPE_BULK),
                                                       endpoint(0x04, LIBUSB_TRANSFER_TYPE_BULK)};
    std::vector<libusb_endpoint_descriptor> inOnly = {endpoint(0x86, LIBUSB_TRANSFER_TYPE_BULK)};
    libusb_interface_descriptor settings[] = {setting(0, LIBUSB_CLASS_PRINTER, printer),
                                              setting(1, LIBUSB_CLASS_VENDOR_SPEC, inOnly),
                                              setting(2, LIBUSB_CLASS_VENDOR_SPEC, scanner)};
    libusb_interface interfaces[3] = {{&settings[0], 1}, {&settings[1], 1}, {&settings[2], 1}};
    libusb_config_descriptor config{};
    config.bNumInterfaces = 3;
    config.interface = interfaces;

    BulkPipes pipes;
    ASSERT_TRUE(findBulkPipes(config, &pipes));
    EXPECT_EQ(pipes.interfaceNumber, 2);
    EXPECT_EQ(pipes.in, 0x83);
    EXPECT_EQ(pipes.out, 0x04);

    config.bNumInterfaces = 2;  // no vendor interface with both: the first with both
    ASSERT_TRUE(findBulkPipes(config, &pipes));
    EXPECT_EQ(pipes.interfaceNumber, 0);
    EXPECT_EQ(pipes.in, 0x81);

    interfaces[0] = {&settings[1], 1};
    config.bNumInterfaces = 1;
    EXPECT_FALSE(findBulkPipes(config, &pipes));
}

TEST(UsbEndpoints, LibusbErrorsBecomeTheErrorsTheProtocolKnows)
{
    EXPECT_EQ(systemErrorForUsb(LIBUSB_ERROR_TIMEOUT), kErrorTimeout);
    EXPECT_EQ(systemErrorForUsb(LIBUSB_ERROR_NO_DEVICE), kErrorDeviceNotConnected);
    EXPECT_NE(systemErrorForUsb(LIBUSB_ERROR_IO), kErrorTimeout);
}
