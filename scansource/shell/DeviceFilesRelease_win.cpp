#include "shell/DeviceFilesChoice_win.h"

#include "shell/UsbscanDeviceFiles_win.h"

// The release build knows only the real still-image device files.
std::unique_ptr<DeviceFiles> chooseDeviceFiles()
{
    return std::make_unique<UsbscanDeviceFiles>();
}
