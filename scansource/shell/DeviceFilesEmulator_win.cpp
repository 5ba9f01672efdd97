#include "shell/DeviceFilesChoice_win.h"

#include "EmulatedDeviceFiles.h"
#include "shell/UsbscanDeviceFiles_win.h"
#include "twain/DebugTrace.h"

#include <windows.h>

#include <string>

namespace {

// What the source sees when the emulator was asked for but cannot run:
// no device at all.
class NoDeviceFiles : public DeviceFiles {
public:
    DeviceHandle open(const char*, DeviceAccess) override { return kInvalidDevice; }
    bool close(DeviceHandle) override { return false; }
    bool readDescriptor(DeviceHandle, uint8_t*) override { return false; }
    bool read(DeviceHandle, uint8_t*, uint32_t, uint32_t* received) override
    {
        *received = 0;
        return false;
    }
    bool write(DeviceHandle, const uint8_t*, uint32_t, uint32_t* written) override
    {
        *written = 0;
        return false;
    }
    bool setTransferTimeout(DeviceHandle, uint32_t) override { return false; }
    uint32_t lastError() override { return kErrorFileNotFound; }
};

}  // namespace

std::unique_ptr<DeviceFiles> chooseDeviceFiles()
{
    char setting[MAX_PATH * 2];
    DWORD length = GetEnvironmentVariableA("ZVP4_EMULATOR", setting, sizeof setting);
    if (length == 0 || length >= sizeof setting)
        return std::make_unique<UsbscanDeviceFiles>();
    std::string error;
    std::unique_ptr<EmulatedDeviceFiles> emulator = EmulatedDeviceFiles::fromSetting(setting, error);
    if (!emulator) {
        DebugTrace(("Scanner emulator not usable: " + error).c_str());
        return std::make_unique<NoDeviceFiles>();
    }
    return emulator;
}

