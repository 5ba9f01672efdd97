#pragma once
// What the libusb transport reads from the device's descriptors, kept apart
// from the libusb calls so that it can be tested without a device.
#include <cstdint>

#include <libusb.h>

struct BulkPipes {
    int interfaceNumber = -1;
    uint8_t in = 0;   // bulk-in endpoint address
    uint8_t out = 0;  // bulk-out endpoint address
};

// The scanner's interface and its two bulk endpoints: the first interface
// (alternate setting 0) with both a bulk-in and a bulk-out endpoint,
// preferring a vendor-specific one, since a multi-function device also has
// a printer interface with bulk pipes.
bool findBulkPipes(const libusb_config_descriptor& config, BulkPipes* pipes);

// The system error the transport and protocol look at for a libusb error:
// a time-out, a device that went away, or any other failure.
uint32_t systemErrorForUsb(int libusbError);
