#pragma once
// vivaro.conf: which scanners the backend offers.
//
//   usb 0xVVVV 0xPPPP    a USB scanner with these vendor and product ids
//   emulator PATH        an emulated scanner: a page image or an emulator
//                        configuration file (relative to vivaro.conf)
//
// '#' starts a comment. A line the backend cannot use is skipped, with the
// reason handed to the caller, so one typing error never hides the rest.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct UsbModel {
    uint16_t vendorId = 0;
    uint16_t productId = 0;
};

struct BackendConfig {
    std::vector<UsbModel> usb;
    std::vector<std::string> emulators;
};

using SkippedLine = std::function<void(const std::string& why)>;

BackendConfig parseBackendConfig(const std::string& text, const std::string& baseDir, const SkippedLine& skipped);

// Without a vivaro.conf: the family's ids, the primary product first.
BackendConfig defaultBackendConfig();

// Where SANE looks for configuration files: the folders of SANE_CONFIG_DIR,
// followed by "." and the installed folder when it is unset or ends in ':'.
std::vector<std::string> configDirectories(const char* saneConfigDir, const std::string& installedDir);
