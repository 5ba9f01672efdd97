// Attach and detach of the data source library: the support library, the
// translation table and the source's identity.
#include <windows.h>

#include <commctrl.h>
#include <string.h>

#include "shell/Localization.h"
#include "shell/ScanWindowHost.h"
#include "SourceContext.h"
#include "shell/SupportLibrary.h"
#include "TransferOperations.h"
#include "UnloadableModule_win.h"
#include "shell/ImagingLibraryBinding_win.h"
#include "shell/Win32SourcePlatform.h"
#include "shell/Win32TransferServices.h"
#include "resource.h"

namespace {
constexpr int WorkBufferBytes = 512;

// Version.MajorNum and MinorNum are the second and third components of
// the file version (0.1.61.0 gives 1.61).
void readOwnVersion(TW_VERSION& version)
{
    HRSRC resource = FindResourceA(shellState().instance, MAKEINTRESOURCEA(VS_VERSION_INFO), MAKEINTRESOURCEA(16));
    HGLOBAL loaded = resource ? LoadResource(shellState().instance, resource) : nullptr;
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data)
        return;
    DWORD size = SizeofResource(shellState().instance, resource);
    // VerQueryValue may write into the block, so it works on a copy.
    void* copy = LocalAlloc(LMEM_FIXED, size);
    if (!copy)
        return;
    memcpy(copy, data, size);
    VS_FIXEDFILEINFO* info = nullptr;
    UINT infoSize = 0;
    if (VerQueryValueA(copy, "\\", reinterpret_cast<void**>(&info), &infoSize) && info &&
        infoSize >= sizeof *info) {
        version.MajorNum = LOWORD(info->dwFileVersionMS);
        version.MinorNum = HIWORD(info->dwFileVersionLS);
    }
    LocalFree(copy);
}

// The localised text of a key, cut to a TW_STR32 as ANSI text; the key
// itself when it has no translation.
void fillIdentityText(UINT stringId, TW_STR32& field)
{
    char work[WorkBufferBytes];
    memset(field, 0, sizeof field);
    int result = LoadLocalizedString(stringId, work, sizeof work);
    if (result == -1)
        return;
    if (result < 0) {
        char key[1024];
        LoadStringA(shellState().instance, stringId, key, sizeof key);
        lstrcpynA(field, key, sizeof field);
    } else if (shellState().ansiMode) {
        lstrcpynA(field, work, sizeof field);
    } else if (UnicodeToAsciiProc unicodeToAscii = supportUnicodeToAscii()) {
        unicodeToAscii(reinterpret_cast<const wchar_t*>(work), WorkBufferBytes, field, sizeof field);
    }
}

void attach(HMODULE module)
{
    shellState().instance = module;
    resetSourceContext();
    setSourcePlatform(&win32SourcePlatform());
    setTransferServices(&win32TransferServices());
    if (SUCCEEDED(LoadSupportLibrary(module)))
        StartLocalization();
    else
        ShowSupportLibraryFailureOnce();
    // The identity texts are filled in the form the windows will use.
    decideAnsiMode();

    TW_IDENTITY& identity = sourceContext().SourceIdentity;
    readOwnVersion(identity.Version);
    identity.Version.Language = TWLG_USA;
    identity.Version.Country = TWCY_USA;
    identity.SupportedGroups = DG_CONTROL | DG_IMAGE;
    fillIdentityText(IDS_VERSIONNUMBER, identity.Version.Info);
    fillIdentityText(IDS_MANUFACTURER, identity.Manufacturer);
    fillIdentityText(IDS_PRODFAMILY, identity.ProductFamily);
    fillIdentityText(IDS_TWAINUI, identity.ProductName);
    InitCommonControls();
}
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved)
{
    switch (reason) {
    case DLL_PROCESS_ATTACH:
        DisableThreadLibraryCalls(instance);
        attach(instance);
        break;
    case DLL_PROCESS_DETACH:
        // At process exit the libraries, the window and the memory go away
        // by themselves; on an unload the window must not outlive its
        // procedure, and nothing the source loaded or holds stays behind.
        if (!reserved) {
            DestroyScanWindow();
            resetTransfers();
            UnloadImagingLibrary();
            UnloadSupportLibrary();
            releaseStaticRuntimeOnUnload();
        }
        break;
    }
    return TRUE;
}
