#include "EmulatedDeviceFiles.h"

#include "UsbDeviceIds.h"

#include <chrono>
#include <thread>

namespace {
constexpr uint32_t kErrorInvalidHandle = 6;
}

EmulatedDeviceFiles::EmulatedDeviceFiles(std::unique_ptr<ScannerEmulator> emulator) : emulator_(std::move(emulator))
{
}

std::unique_ptr<EmulatedDeviceFiles> EmulatedDeviceFiles::fromSetting(const std::string& path, std::string& error,
                                                                      ScannerEmulator::Clock clock,
                                                                      ScannerEmulator::Sleep sleep)
{
    EmulatorConfig config;
    if (!loadEmulatorSetting(path, config, error))
        return nullptr;
    PageImage page;
    if (!page.load(config.pagePath, error))
        return nullptr;
    if (!clock) {
        // The lamp starts warming when the device is first used in this process.
        auto start = std::chrono::steady_clock::now();
        clock = [start] { return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(); };
        sleep = [](double seconds) { std::this_thread::sleep_for(std::chrono::duration<double>(seconds)); };
    }
    return std::make_unique<EmulatedDeviceFiles>(
        std::make_unique<ScannerEmulator>(std::move(config), std::move(page), std::move(clock), std::move(sleep)));
}

DeviceHandle EmulatedDeviceFiles::open(const char* name, DeviceAccess)
{
    std::string base = "\\\\.\\Usbscan" + std::to_string(emulator_->config().deviceIndex) + "\\";
    if (name != base + "0" && name != base + "1") {
        lastError_ = kErrorFileNotFound;
        return kInvalidDevice;
    }
    if (handles_.empty())
        emulator_->pipesOpened();
    DeviceHandle handle = nextHandle_++;
    handles_[handle] = 0;
    return handle;
}

bool EmulatedDeviceFiles::known(DeviceHandle handle)
{
    if (handles_.count(handle))
        return true;
    lastError_ = kErrorInvalidHandle;
    return false;
}

bool EmulatedDeviceFiles::close(DeviceHandle handle)
{
    if (!known(handle))
        return false;
    handles_.erase(handle);
    return true;
}

bool EmulatedDeviceFiles::readDescriptor(DeviceHandle handle, uint8_t d[8])
{
    if (!known(handle))
        return false;
    const EmulatorConfig& c = emulator_->config();
    uint16_t vendor = c.vendorId ? c.vendorId : kScannerVendorId;
    uint16_t product = c.productId ? c.productId : kScannerPrimaryProductId;
    const uint8_t descriptor[8] = {static_cast<uint8_t>(vendor & 0xFF), static_cast<uint8_t>(vendor >> 8),
                                   static_cast<uint8_t>(product & 0xFF), static_cast<uint8_t>(product >> 8),
                                   0x00, 0x01, 0x09, 0x04};
    std::copy(descriptor, descriptor + 8, d);
    return true;
}

bool EmulatedDeviceFiles::read(DeviceHandle handle, uint8_t* dst, uint32_t size, uint32_t* received)
{
    *received = 0;
    return known(handle) && emulator_->read(dst, size, received, &lastError_, handles_[handle]);
}

bool EmulatedDeviceFiles::setTransferTimeout(DeviceHandle handle, uint32_t milliseconds)
{
    if (!known(handle))
        return false;
    handles_[handle] = milliseconds;
    return true;
}

bool EmulatedDeviceFiles::write(DeviceHandle handle, const uint8_t* src, uint32_t size, uint32_t* written)
{
    *written = 0;
    return known(handle) && emulator_->write(src, size, written, &lastError_);
}
