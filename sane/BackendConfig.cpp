#include "BackendConfig.h"

#include "UsbDeviceIds.h"

#include <cstdlib>
#include <sstream>

namespace {

std::string trim(const std::string& s)
{
    size_t b = s.find_first_not_of(" \t\r");
    size_t e = s.find_last_not_of(" \t\r");
    return b == std::string::npos ? std::string() : s.substr(b, e - b + 1);
}

bool parseId(const std::string& text, uint16_t& id)
{
    char* end = nullptr;
    long value = std::strtol(text.c_str(), &end, 0);
    if (text.empty() || *end != '\0' || value <= 0 || value > 0xFFFF)
        return false;
    id = static_cast<uint16_t>(value);
    return true;
}

}  // namespace

BackendConfig parseBackendConfig(const std::string& text, const std::string& baseDir, const SkippedLine& skipped)
{
    BackendConfig config;
    std::istringstream in(text);
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        line = trim(line.substr(0, line.find('#')));
        if (line.empty())
            continue;
        std::istringstream words(line);
        std::string keyword;
        words >> keyword;
        std::string rest = trim(line.substr(keyword.size()));
        if (keyword == "usb") {
            std::string vendor, product, extra;
            words >> vendor >> product >> extra;
            UsbModel model;
            if (parseId(vendor, model.vendorId) && parseId(product, model.productId) && extra.empty()) {
                config.usb.push_back(model);
                continue;
            }
        } else if (keyword == "emulator" && !rest.empty()) {
            config.emulators.push_back(rest[0] == '/' || baseDir.empty() ? rest : baseDir + "/" + rest);
            continue;
        }
        skipped("line " + std::to_string(number) + " skipped: \"" + line + "\"");
    }
    return config;
}

BackendConfig defaultBackendConfig()
{
    BackendConfig config;
    config.usb = {{kScannerVendorId, kScannerPrimaryProductId}, {kScannerVendorId, kScannerSecondaryProductId}};
    return config;
}

std::vector<std::string> configDirectories(const char* saneConfigDir, const std::string& installedDir)
{
    std::vector<std::string> dirs;
    std::string setting = saneConfigDir ? saneConfigDir : "";
    bool withDefaults = setting.empty() || setting.back() == ':';
    std::istringstream in(setting);
    std::string dir;
    while (std::getline(in, dir, ':')) {
        if (!dir.empty())
            dirs.push_back(dir);
    }
    if (withDefaults) {
        dirs.push_back(".");
        dirs.push_back(installedDir);
    }
    return dirs;
}
