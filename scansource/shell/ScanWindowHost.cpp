#include "shell/ScanWindowHost.h"

#include <commctrl.h>

#include "shell/Localization.h"
#include "resource.h"
#include "shell/windows/ScanSettingsDialog.h"

namespace {
// All common-control classes, the native font control among them.
constexpr DWORD AllControlClasses = 0x26FF;

void initialiseAnsiCommonControls()
{
    HMODULE commonControls = LoadLibraryA("comctl32.dll");
    if (!commonControls)
        return;
    using InitProc = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
    auto init = reinterpret_cast<InitProc>(
        reinterpret_cast<void*>(GetProcAddress(commonControls, "InitCommonControlsEx")));
    if (init) {
        INITCOMMONCONTROLSEX classes{sizeof classes, AllControlClasses};
        init(&classes);
    }
    FreeLibrary(commonControls);
}
}

bool CreateScanWindow(HWND owner)
{
    if (!shellState().scanSettingsDialog)
        shellState().scanSettingsDialog = std::make_unique<ScanSettingsDialog>();
    LPARAM dialog = reinterpret_cast<LPARAM>(shellState().scanSettingsDialog.get());
    if (!shellState().richEditLibrary)
        shellState().richEditLibrary = LoadLibraryA("Riched32.dll");
    if (shellState().ansiMode) {
        initialiseAnsiCommonControls();
        shellState().mainWindow = CreateDialogParamA(shellState().instance, MAKEINTRESOURCEA(IDD_DLG_UI_CALDER_DBCS), owner,
                                        sourceDialogProcedure, dialog);
    } else {
        shellState().mainWindow = CreateDialogParamW(shellState().instance, MAKEINTRESOURCEW(IDD_DLG_UI_CALDER_UNICODE), owner,
                                        sourceDialogProcedure, dialog);
    }
    if (!shellState().mainWindow)
        return false;
    char title[1024];
    if (LoadLocalizedString(IDS_TWAINUI_CAPTION, title, sizeof title) != -1)
        SetLocalizedWindowText(shellState().mainWindow, title);
    ShowWindow(shellState().mainWindow, SW_SHOW);
    return true;
}

bool ScanWindowExists()
{
    return shellState().mainWindow && IsWindow(shellState().mainWindow);
}

void DestroyScanWindow()
{
    if (shellState().mainWindow)
        DestroyWindow(shellState().mainWindow);
    shellState().mainWindow = nullptr;
}

bool ScanWindowConsumes(const MSG* message)
{
    return ScanWindowExists() && message && IsDialogMessageA(shellState().mainWindow, const_cast<MSG*>(message));
}
