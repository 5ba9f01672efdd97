#include "SupportExports.h"

#include <stdio.h>
#include <stdlib.h>

#include <map>
#include <memory>
#include <string>

#include "CallBoundary.h"
#include "TranslationFile.h"
#include "UnloadableModule_win.h"

namespace {
// The texts of one locale in the form the caller asked for.
struct Translation {
    bool wide;
    std::map<std::wstring, std::wstring> wideTexts;
    std::map<std::string, std::string> ansiTexts;
};

int environmentOverride(const char* name, int fallback)
{
    char value[16];
    DWORD length = GetEnvironmentVariableA(name, value, sizeof value);
    if (length == 0 || length >= sizeof value)
        return fallback;
    return atoi(value);
}

std::wstring widen(const std::string& text, UINT codePage)
{
    int length = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring result(static_cast<size_t>(length), L'\0');
    if (length > 0)
        MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), &result[0], length);
    return result;
}

std::string narrow(const std::wstring& text, UINT codePage)
{
    int length = WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                     nullptr);
    std::string result(static_cast<size_t>(length), '\0');
    if (length > 0)
        WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), &result[0], length, nullptr,
                            nullptr);
    return result;
}

bool readWholeFile(const char* path, std::string& contents)
{
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    char buffer[4096];
    DWORD read = 0;
    bool ok = true;
    while ((ok = ReadFile(file, buffer, sizeof buffer, &read, nullptr) != FALSE) && read > 0)
        contents.append(buffer, read);
    CloseHandle(file);
    return ok;
}

int operatingSystemClass()
{
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof version;
    if (!GetVersionExA(&version))
        return 4;
    if (version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS)
        return version.dwMinorVersion >= 90 ? 2 : 1;
    if (version.dwMajorVersion < 5)
        return 0;
    return version.dwMajorVersion == 5 && version.dwMinorVersion == 0 ? 3 : 4;
}
}

int __cdecl GetWindowsVersion(void)
{
    return environmentOverride("ZVP4D_WINDOWS_VERSION", operatingSystemClass());
}

const char* __cdecl GetLocaleID(void)
{
    static char name[32];
    char language[9] = "en";
    char country[9] = "US";
    GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SISO639LANGNAME, language, sizeof language);
    GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SISO3166CTRYNAME, country, sizeof country);
    snprintf(name, sizeof name, "%s-%s", language, country);
    return name;
}

const char* __cdecl GetLocaleID2(void)
{
    static char name[8];
    snprintf(name, sizeof name, "%04lx", static_cast<unsigned long>(LANGIDFROMLCID(GetUserDefaultLCID())));
    return name;
}

int __cdecl GetCharSet(void)
{
    int windowsClass = GetWindowsVersion();
    return environmentOverride("ZVP4D_CHARSET", windowsClass == 1 || windowsClass == 2 ? 1 : 0);
}

namespace {
void* startTranslation(const char* path, const char* locale, DWORD charset)
{
    std::string contents;
    if (!path || !readWholeFile(path, contents))
        return nullptr;
    TranslationFile file = parseTranslationFile(contents);
    const TranslationTexts* texts = selectLocale(file, locale ? locale : "");
    auto translation = std::make_unique<Translation>();
    translation->wide = (charset & 0x7fffffff) == 0;
    if (texts) {
        for (const auto& [key, text] : *texts) {
            std::wstring wideText = widen(text, CP_UTF8);
            if (translation->wide)
                translation->wideTexts[widen(key, CP_UTF8)] = wideText;
            else
                translation->ansiTexts[narrow(widen(key, CP_UTF8), CP_ACP)] = narrow(wideText, CP_ACP);
        }
    }
    return translation.release();
}

const void* localizedString(void* handle, const void* key)
{
    auto* translation = static_cast<Translation*>(handle);
    if (!translation || !key)
        return nullptr;
    if (translation->wide) {
        auto found = translation->wideTexts.find(static_cast<const wchar_t*>(key));
        return found == translation->wideTexts.end() ? nullptr : found->second.c_str();
    }
    auto found = translation->ansiTexts.find(static_cast<const char*>(key));
    return found == translation->ansiTexts.end() ? nullptr : found->second.c_str();
}

int asciiToUnicode(const char* text, int lengthBytes, wchar_t* output, int outputChars)
{
    int length = 0;
    while (length < lengthBytes && text[length])
        ++length;
    std::wstring wide = widen(std::string(text, static_cast<size_t>(length)), CP_ACP);
    size_t count = wide.size() < static_cast<size_t>(outputChars - 1) ? wide.size() : outputChars - 1;
    wide.copy(output, count);
    output[count] = L'\0';
    return static_cast<int>(count);
}

int unicodeToAscii(const wchar_t* text, int sizeBytes, char* output, int outputBytes)
{
    int length = 0;
    while (length < sizeBytes / 2 && text[length])
        ++length;
    std::string ansi = narrow(std::wstring(text, static_cast<size_t>(length)), CP_ACP);
    size_t room = static_cast<size_t>(outputBytes - 1);
    size_t count = 0;
    while (count < ansi.size()) {
        size_t step = IsDBCSLeadByte(static_cast<BYTE>(ansi[count])) ? 2 : 1;
        if (count + step > room)
            break;
        count += step;
    }
    ansi.copy(output, count);
    output[count] = '\0';
    return static_cast<int>(count);
}
}

// The exports that build strings and tables answer as "nothing found" when
// memory runs short; nothing thrown reaches the data source.
void* __cdecl StartTranslation(const char* path, const char* locale, DWORD charset)
{
    return callAtBoundary([&] { return startTranslation(path, locale, charset); },
                          [](BoundaryFailure) -> void* { return nullptr; });
}

void __cdecl EndTranslation(void* translation)
{
    delete static_cast<Translation*>(translation);
}

const void* __cdecl GetLocalizedString(void* handle, const void* key)
{
    return callAtBoundary([&] { return localizedString(handle, key); },
                          [](BoundaryFailure) -> const void* { return nullptr; });
}

int __cdecl AsciiToUnicode(const char* text, int lengthBytes, wchar_t* output, int outputChars)
{
    if (!output || outputChars <= 0)
        return 0;
    output[0] = L'\0';
    if (!text || lengthBytes <= 0)
        return 0;
    return callAtBoundary([&] { return asciiToUnicode(text, lengthBytes, output, outputChars); },
                          [output](BoundaryFailure) {
                              output[0] = L'\0';
                              return 0;
                          });
}

int __cdecl UnicodeToAscii(const wchar_t* text, int sizeBytes, char* output, int outputBytes)
{
    if (!output || outputBytes <= 0)
        return 0;
    output[0] = '\0';
    if (!text || sizeBytes <= 0)
        return 0;
    return callAtBoundary([&] { return unicodeToAscii(text, sizeBytes, output, outputBytes); },
                          [output](BoundaryFailure) {
                              output[0] = '\0';
                              return 0;
                          });
}

HRESULT __cdecl QueryDeviceCapabilities(void) { return E_NOTIMPL; }
HRESULT __cdecl QueryFeatureDefaults(void) { return E_NOTIMPL; }
HRESULT __cdecl StartQuery(void) { return E_NOTIMPL; }
HRESULT __cdecl OutFeatureCapability(void) { return E_NOTIMPL; }
HRESULT __cdecl OutFeatureSettings(void) { return E_NOTIMPL; }
HRESULT __cdecl ReadFeatureSettings(void) { return E_NOTIMPL; }
HRESULT __cdecl CalculatePrintableImageSize(void) { return E_NOTIMPL; }

// The data source loads this library at each opening and unloads it at each
// closing.
extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved)
{
    if (reason == DLL_PROCESS_DETACH && !reserved)
        releaseStaticRuntimeOnUnload();
    return TRUE;
}
