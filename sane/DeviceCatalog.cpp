#include "DeviceCatalog.h"

#include "Debug.h"
#include "EmulatedDeviceFiles.h"
#include "EmulatorMeter.h"
#include "LibusbDeviceFiles.h"
#include "LockFileMutexes.h"
#include "PageImage.h"
#include "UsbDeviceIds.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>

namespace {

void addUsbDevices(const BackendConfig& config, libusb_context* usb, std::vector<CatalogDevice>& devices)
{
    libusb_device** list = nullptr;
    ssize_t count = libusb_get_device_list(usb, &list);
    if (count < 0) {
        debugMessage(1, "cannot list USB devices: %s", libusb_error_name(static_cast<int>(count)));
        return;
    }
    for (const UsbModel& model : config.usb) {
        for (ssize_t i = 0; i < count; ++i) {
            libusb_device_descriptor descriptor{};
            if (libusb_get_device_descriptor(list[i], &descriptor) != 0 || descriptor.idVendor != model.vendorId ||
                descriptor.idProduct != model.productId)
                continue;
            CatalogDevice device;
            device.bus = libusb_get_bus_number(list[i]);
            device.address = libusb_get_device_address(list[i]);
            auto sameDevice = [&](const CatalogDevice& d) { return d.bus == device.bus && d.address == device.address; };
            if (std::any_of(devices.begin(), devices.end(), sameDevice))
                continue;
            char name[32];
            std::snprintf(name, sizeof name, "libusb:%03u:%03u", device.bus, device.address);
            device.name = name;
            device.ids = model;
            device.model = modelName(model.productId);
            devices.push_back(device);
        }
    }
    libusb_free_device_list(list, 1);
}

// A page image is a healthy scanner with the family's ids; only a
// configuration file can say otherwise. Pages run to a hundred megabytes,
// so listing the devices looks at the first bytes only.
bool readEmulatorIds(const std::string& path, EmulatorConfig& emulator, std::string& error)
{
    std::vector<uint8_t> start(3);
    std::ifstream file(path, std::ios::binary);
    if (file.read(reinterpret_cast<char*>(start.data()), 3) && looksLikePageImage(start))
        return true;
    return loadEmulatorSetting(path, emulator, error);
}

void addEmulators(const BackendConfig& config, std::vector<CatalogDevice>& devices)
{
    for (size_t n = 0; n < config.emulators.size(); ++n) {
        const std::string& path = config.emulators[n];
        EmulatorConfig emulator;
        std::string error;
        if (!readEmulatorIds(path, emulator, error)) {
            debugMessage(1, "emulator %s skipped: %s", path.c_str(), error.c_str());
            continue;
        }
        CatalogDevice device;
        device.name = "emulator:" + std::to_string(n);
        device.ids.vendorId = emulator.vendorId ? emulator.vendorId : kScannerVendorId;
        device.ids.productId = emulator.productId ? emulator.productId : kScannerPrimaryProductId;
        device.model = modelName(device.ids.productId);
        device.emulatorPath = path;
        devices.push_back(device);
    }
}

// Processes that name the same emulator file share its lock, as they would
// share a device.
std::string emulatorLockKey(const std::string& path)
{
    char* resolved = realpath(path.c_str(), nullptr);
    std::string canonical = resolved ? resolved : path;
    std::free(resolved);
    char key[32];
    std::snprintf(key, sizeof key, "emulator-%016zx", std::hash<std::string>{}(canonical));
    return key;
}

}  // namespace

const char* modelName(uint16_t productId)
{
    return productId == kScannerPrimaryProductId ? "Vivaro 5320MF" : "Vivaro 5310MF";
}

std::vector<CatalogDevice> findDevices(const BackendConfig& config, libusb_context* usb)
{
    std::vector<CatalogDevice> devices;
    if (usb)
        addUsbDevices(config, usb, devices);
    addEmulators(config, devices);
    return devices;
}

std::unique_ptr<ScannerSession> makeSession(const CatalogDevice& device, libusb_context* usb)
{
    // The transport looks for exactly this device's ids.
    UsbIdentity identity{device.ids.vendorId, device.ids.productId, device.ids.productId};
    if (device.emulatorPath.empty()) {
        char key[32];
        std::snprintf(key, sizeof key, "libusb-%03u-%03u", device.bus, device.address);
        return std::make_unique<ScannerSession>(std::make_unique<LibusbDeviceFiles>(usb, device.bus, device.address),
                                                std::make_unique<LockFileMutexes>(deviceLockPath(key)), identity);
    }
    std::string error;
    double begin = threadProcessorSeconds();
    std::unique_ptr<EmulatedDeviceFiles> emulator = EmulatedDeviceFiles::fromSetting(device.emulatorPath, error);
    if (!emulator) {
        debugMessage(1, "emulator %s: %s", device.emulatorPath.c_str(), error.c_str());
        return nullptr;
    }
    auto files = std::make_unique<EmulatorMeter>(std::move(emulator), threadProcessorSeconds() - begin);
    return std::make_unique<ScannerSession>(
        std::move(files), std::make_unique<LockFileMutexes>(deviceLockPath(emulatorLockKey(device.emulatorPath))),
        identity);
}
