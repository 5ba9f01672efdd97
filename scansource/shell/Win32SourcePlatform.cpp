#include "shell/Win32SourcePlatform.h"

#include <windows.h>

#include "EscCommands.h"
#include "shell/Localization.h"
#include "shell/ManagerLink.h"
#include "shell/ImagingLibraryBinding_win.h"
#include "shell/ScanWindowHost.h"
#include "UsbTransport.h"
#include "shell/SettingsStore.h"
#include "shell/SupportLibrary.h"
#include "shell/MessageBoxes.h"

namespace {
class Win32SourcePlatform : public SourcePlatform {
public:
    void bindSupportLibrary() override { BindSupportLibrary(shellState().instance); }
    void releaseSupportLibrary() override { UnloadSupportLibrary(); }
    void releaseImagingLibrary() override { UnloadImagingLibrary(); }
    void loadSettings() override { LoadSettings(); }
    void saveSettings() override { SaveSettings(); }
    void decideAnsiMode() override { ::decideAnsiMode(); }
    bool scannerReachable() override { return checkScannerReachable() != 0; }
    bool closeScannerChannel() override { return closeScanner() != 0; }
    void traceWarning(unsigned stringId) override { ShowWarning(nullptr, stringId, FALSE); }
    void sendManagerNotification(TW_UINT16 message) override { SendManagerNotification(message); }
    bool createScanWindow(void* parentWindow) override { return CreateScanWindow(static_cast<HWND>(parentWindow)); }
    bool scanWindowExists() override { return ScanWindowExists(); }
    void destroyScanWindow() override { DestroyScanWindow(); }
    bool consumeWindowMessage(void* windowMessage) override
    {
        return ScanWindowConsumes(static_cast<const MSG*>(windowMessage));
    }
    TW_HANDLE allocateGlobal(TW_UINT32 bytes) override { return GlobalAlloc(GHND, bytes); }
    TW_UINT32 globalSize(TW_HANDLE handle) override
    {
        return handle ? static_cast<TW_UINT32>(GlobalSize(handle)) : 0;
    }
    void* lockGlobal(TW_HANDLE handle) override { return handle ? GlobalLock(handle) : nullptr; }
    void unlockGlobal(TW_HANDLE handle) override { GlobalUnlock(handle); }
    void freeGlobal(TW_HANDLE handle) override { GlobalFree(handle); }
    int feederMissing() override { return isFeederMissing(); }
    int feederStatus(int reportCovers) override { return queryFeederStatus(reportCovers); }
};

Win32SourcePlatform platform;
}

SourcePlatform& win32SourcePlatform()
{
    return platform;
}
