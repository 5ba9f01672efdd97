#pragma once
// The device files the process's scanner talks through. Test builds
// (VIVARO_SCANNER_EMULATOR) choose the emulator when ZVP4_EMULATOR is set;
// the release build has only the real still-image files.
#include "DeviceFiles.h"

#include <memory>

std::unique_ptr<DeviceFiles> chooseDeviceFiles();
