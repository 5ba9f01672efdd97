#include "shell/Localization.h"

#include <string.h>
#include <wchar.h>

#include "shell/SupportLibrary.h"

namespace {
constexpr int KeyBytes = 1024;
constexpr int TranslationBytes = 1024;

bool tableHoldsWideTexts()
{
    GetCharSetProc getCharSet = supportGetCharSet();
    return getCharSet && getCharSet() == 0;
}

void widenInto(const char* text, wchar_t* output, int outputChars)
{
    if (outputChars <= 0)
        return;
    if (AsciiToUnicodeProc asciiToUnicode = supportAsciiToUnicode()) {
        asciiToUnicode(text, static_cast<int>(strlen(text)), output, outputChars);
        return;
    }
    int written = MultiByteToWideChar(CP_ACP, 0, text, -1, output, outputChars);
    output[written > 0 ? written - 1 : 0] = L'\0';
    output[outputChars - 1] = L'\0';
}

void narrowInto(const wchar_t* text, int textBytes, char* output, int outputBytes)
{
    if (outputBytes <= 0)
        return;
    if (UnicodeToAsciiProc unicodeToAscii = supportUnicodeToAscii()) {
        unicodeToAscii(text, textBytes, output, outputBytes);
        return;
    }
    int written = WideCharToMultiByte(CP_ACP, 0, text, -1, output, outputBytes, nullptr, nullptr);
    output[written > 0 ? written - 1 : 0] = '\0';
    output[outputBytes - 1] = '\0';
}
}

void decideAnsiMode()
{
    GetWindowsVersionProc getWindowsVersion = supportGetWindowsVersion();
    int windowsClass = getWindowsVersion ? getWindowsVersion() : 0;
    shellState().ansiMode = windowsClass == 1 || windowsClass == 2;
}

bool TranslateKey(const char* key, void* out)
{
    GetLocalizedStringProc getLocalizedString = supportGetLocalizedString();
    if (tableHoldsWideTexts()) {
        memset(out, 0, 1024);
        if (!getLocalizedString)
            return false;
        wchar_t wideKey[256];
        widenInto(key, wideKey, 256);
        auto* text = static_cast<const wchar_t*>(getLocalizedString(translationHandle(), wideKey));
        if (!text || wcscmp(text, wideKey) == 0)
            return false;
        wcsncpy(static_cast<wchar_t*>(out), text, 511);
        return true;
    }
    memset(out, 0, 512);
    if (!getLocalizedString)
        return false;
    auto* text = static_cast<const char*>(getLocalizedString(translationHandle(), key));
    if (!text || strcmp(text, key) == 0)
        return false;
    strncpy(static_cast<char*>(out), text, 511);
    return true;
}

// The translation is converted when the table's form differs from the form
// the windows use, so a mismatch never reaches a window as garbage.
int LoadLocalizedString(UINT stringId, void* buffer, int bufferBytes)
{
    char key[KeyBytes];
    if (bufferBytes < 2 || LoadStringA(shellState().instance, stringId, key, sizeof key) <= 0)
        return -1;
    return LoadLocalizedKey(key, buffer, bufferBytes);
}

int LoadLocalizedKey(const char* key, void* buffer, int bufferBytes)
{
    if (bufferBytes < 2)
        return -1;
    memset(buffer, 0, static_cast<size_t>(bufferBytes));
    char translation[TranslationBytes];
    if (!TranslateKey(key, translation)) {
        if (shellState().ansiMode)
            lstrcpynA(static_cast<char*>(buffer), key, bufferBytes);
        else
            widenInto(key, static_cast<wchar_t*>(buffer), bufferBytes / 2);
        return -static_cast<int>(strlen(key));
    }
    bool wideTable = tableHoldsWideTexts();
    if (shellState().ansiMode) {
        auto* output = static_cast<char*>(buffer);
        if (wideTable)
            narrowInto(reinterpret_cast<const wchar_t*>(translation), TranslationBytes, output, bufferBytes);
        else
            lstrcpynA(output, translation, bufferBytes);
        return static_cast<int>(strlen(output));
    }
    auto* output = static_cast<wchar_t*>(buffer);
    if (wideTable)
        lstrcpynW(output, reinterpret_cast<const wchar_t*>(translation), bufferBytes / 2);
    else
        widenInto(translation, output, bufferBytes / 2);
    return static_cast<int>(wcslen(output));
}

void SetLocalizedWindowText(HWND window, const void* text)
{
    if (shellState().ansiMode)
        SetWindowTextA(window, static_cast<const char*>(text));
    else
        SetWindowTextW(window, static_cast<const wchar_t*>(text));
}

void LocalizeDialogControls(HWND dialog)
{
    for (HWND control = GetWindow(dialog, GW_CHILD); control; control = GetWindow(control, GW_HWNDNEXT)) {
        char text[2048];
        if (LoadLocalizedString(static_cast<UINT>(GetDlgCtrlID(control)), text, sizeof text) > 0)
            SetLocalizedWindowText(control, text);
    }
}
