#pragma once
// The scanners this backend offers: USB devices present with the ids of
// vivaro.conf, in the order of its lines, and the emulators it names.
#include "BackendConfig.h"
#include "ScannerSession.h"

#include <libusb.h>

#include <memory>
#include <string>
#include <vector>

struct CatalogDevice {
    std::string name;  // "libusb:BBB:DDD" or "emulator:N"; SANE's dll backend puts "vivaro:" before it
    std::string model;
    UsbModel ids;
    uint8_t bus = 0;
    uint8_t address = 0;
    std::string emulatorPath;  // empty for a USB device
};

// usb may be null (no USB support on this system): emulators only.
std::vector<CatalogDevice> findDevices(const BackendConfig& config, libusb_context* usb);

// The session of a device, not yet opened; null when its emulator cannot
// be built from its page or configuration.
std::unique_ptr<ScannerSession> makeSession(const CatalogDevice& device, libusb_context* usb);

// "Vivaro 5320MF" for the primary product id, else "Vivaro 5310MF".
const char* modelName(uint16_t productId);
