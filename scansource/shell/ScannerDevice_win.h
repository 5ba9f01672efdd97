#pragma once
// The process's one scanner: device files (real, or the emulator when
// ZVP4_EMULATOR is set), access mutex, transport and protocol.
#include "DeviceFiles.h"
#include "shell/NamedMutexes_win.h"
#include "ScannerProtocol.h"
#include "UsbTransportCore.h"

#include <windows.h>

#include <memory>

class SourceNotices : public DeviceNotices {
public:
    void trace(const char* text) override;
    void showWarning(unsigned stringId, bool show) override;
    void traceWarningValue(unsigned stringId, int value) override;
    std::string systemErrorText(uint32_t errorCode) override;
};

struct ScannerDevice {
    explicit ScannerDevice(std::unique_ptr<DeviceFiles> deviceFiles);

    std::unique_ptr<DeviceFiles> files;
    NamedMutexes mutexes;
    UsbTransportCore transport;
    SourceNotices notices;
    ScannerProtocol protocol;
};

ScannerDevice& scannerDevice();

// Forgets the process's scanner so that the next use looks at
// ZVP4_EMULATOR again. Only while the scanner is closed; false otherwise.
bool reloadScannerDevice();

// Exported as _UsbIn@0 for callers outside the source: one bulk-in transfer
// into the receive ring; 1 without reading when a transfer would not fit.
extern "C" int WINAPI UsbIn();
