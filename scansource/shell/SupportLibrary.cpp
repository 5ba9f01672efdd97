#include "shell/SupportLibrary.h"

#include <string.h>

#include "shell/ShellState.h"

namespace {
const char* const ExportNames[16] = {
    "QueryDeviceCapabilities", "QueryFeatureDefaults", "StartQuery", "StartTranslation",
    "EndTranslation", "GetLocaleID", "GetLocaleID2", "GetCharSet",
    "OutFeatureCapability", "OutFeatureSettings", "ReadFeatureSettings", "CalculatePrintableImageSize",
    "GetLocalizedString", "GetWindowsVersion", "AsciiToUnicode", "UnicodeToAscii",
};

enum ExportIndex {
    StartTranslationIndex = 3,
    EndTranslationIndex = 4,
    GetLocaleIdIndex = 5,
    GetCharSetIndex = 7,
    GetLocalizedStringIndex = 12,
    GetWindowsVersionIndex = 13,
    AsciiToUnicodeIndex = 14,
    UnicodeToAsciiIndex = 15,
};

SupportLibraryBinding& library()
{
    return shellState().supportLibrary;
}

template <typename Proc>
Proc entry(ExportIndex index)
{
    return reinterpret_cast<Proc>(reinterpret_cast<void*>(library().entries[index]));
}

bool libraryPath(HMODULE sourceModule, char (&path)[MAX_PATH + 2])
{
    char moduleName[MAX_PATH + 1];
    DWORD length = GetModuleFileNameA(sourceModule, moduleName, MAX_PATH + 1);
    if (length == 0 || length > MAX_PATH)
        return false;
    char* lastSeparator = strrchr(moduleName, '\\');
    if (lastSeparator)
        *lastSeparator = '\0';
    const char name[] = "\\ZVP4_d__.dll";
    if (strlen(moduleName) + strlen(name) >= sizeof path)
        return false;
    strcpy(path, moduleName);
    strcat(path, name);
    return true;
}

// The registry value names the locale; a missing or over-long value leaves
// the choice to the library.
bool registryLocale(char (&locale)[261])
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\ARVEL NORVANE\\Vivaro 5310MF", 0, KEY_READ, &key) !=
        ERROR_SUCCESS)
        return false;
    DWORD type = 0;
    DWORD size = 260;
    LONG result = RegQueryValueExA(key, "locale", nullptr, &type, reinterpret_cast<BYTE*>(locale), &size);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS || type != REG_SZ)
        return false;
    locale[size < 260 ? size : 260] = '\0';
    return true;
}
}

HRESULT LoadSupportLibrary(HMODULE sourceModule)
{
    char path[MAX_PATH + 2];
    if (!libraryPath(sourceModule, path))
        return E_FAIL;
    library().module = LoadLibraryA(path);
    if (!library().module)
        return E_FAIL;
    for (int i = 0; i < 16; ++i) {
        library().entries[i] = GetProcAddress(library().module, ExportNames[i]);
        if (!library().entries[i])
            return E_FAIL;
    }
    return S_OK;
}

void StartLocalization()
{
    auto getLocaleId = entry<GetLocaleIdProc>(GetLocaleIdIndex);
    auto getCharSet = entry<GetCharSetProc>(GetCharSetIndex);
    auto startTranslation = entry<StartTranslationProc>(StartTranslationIndex);
    if (!getLocaleId || !getCharSet || !startTranslation)
        return;
    char locale[261] = "";
    if (!registryLocale(locale)) {
        const char* name = getLocaleId();
        lstrcpynA(locale, name ? name : "", sizeof locale);
    }
    char path[MAX_PATH + 64];
    UINT length = GetWindowsDirectoryA(path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return;
    strcat(path, "\\twain_32\\ZVP4\\ZVP4S___.cfg");
    library().translation = startTranslation(path, locale, static_cast<DWORD>(getCharSet()) | 0x80000000u);
}

void UnloadSupportLibrary()
{
    auto endTranslation = entry<EndTranslationProc>(EndTranslationIndex);
    if (library().translation && endTranslation)
        endTranslation(library().translation);
    if (library().module)
        FreeLibrary(library().module);
    library() = SupportLibraryBinding{};
}

bool supportLibraryLoaded()
{
    return library().module != nullptr;
}

void ShowSupportLibraryFailureOnce()
{
    if (shellState().supportFailureShown)
        return;
    shellState().supportFailureShown = true;
    MessageBoxA(nullptr, "Failed to find and load ZVP4_D__.DLL - please re-install the scanner driver",
                "QV 5310MF TWAIN Scan Driver", MB_OK);
}

void BindSupportLibrary(HMODULE sourceModule)
{
    if (supportLibraryLoaded())
        return;
    if (SUCCEEDED(LoadSupportLibrary(sourceModule))) {
        StartLocalization();
        return;
    }
    ShowSupportLibraryFailureOnce();
}

GetWindowsVersionProc supportGetWindowsVersion() { return entry<GetWindowsVersionProc>(GetWindowsVersionIndex); }
GetCharSetProc supportGetCharSet() { return entry<GetCharSetProc>(GetCharSetIndex); }
GetLocalizedStringProc supportGetLocalizedString() { return entry<GetLocalizedStringProc>(GetLocalizedStringIndex); }
AsciiToUnicodeProc supportAsciiToUnicode() { return entry<AsciiToUnicodeProc>(AsciiToUnicodeIndex); }
UnicodeToAsciiProc supportUnicodeToAscii() { return entry<UnicodeToAsciiProc>(UnicodeToAsciiIndex); }

void* translationHandle()
{
    return library().translation;
}
