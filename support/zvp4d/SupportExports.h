#pragma once
// The exports of ZVP4_d__.dll, the scanner driver's support library. All use
// the C calling convention. The data source calls seven of them; the other
// nine exist for the driver's other components and answer E_NOTIMPL here.
#include <windows.h>

#define ZVP4D_EXPORT extern "C" __declspec(dllexport)

// Windows version class: see TranslationFormat.md.
ZVP4D_EXPORT int __cdecl GetWindowsVersion(void);
// The user's locale as "language-COUNTRY"; a static buffer.
ZVP4D_EXPORT const char* __cdecl GetLocaleID(void);
// The user's locale as four hexadecimal digits of its LCID; a static buffer.
ZVP4D_EXPORT const char* __cdecl GetLocaleID2(void);
// 0: texts are wide; otherwise ANSI texts of the current code page.
ZVP4D_EXPORT int __cdecl GetCharSet(void);

// Reads the translation file for a locale; charset is GetCharSet() with bit
// 31 set. Null when the file cannot be read. Free with EndTranslation.
ZVP4D_EXPORT void* __cdecl StartTranslation(const char* path, const char* locale, DWORD charset);
ZVP4D_EXPORT void __cdecl EndTranslation(void* translation);
// The text of a key (wide or ANSI by the charset of StartTranslation), or
// null when the key has no translation. Valid until EndTranslation.
ZVP4D_EXPORT const void* __cdecl GetLocalizedString(void* translation, const void* key);

// Converts lengthBytes bytes (or up to the terminator) into at most
// outputChars - 1 characters, terminated; answers the characters written.
ZVP4D_EXPORT int __cdecl AsciiToUnicode(const char* text, int lengthBytes, wchar_t* output, int outputChars);
// Converts up to sizeBytes bytes of wide text (or up to the terminator) into
// at most outputBytes - 1 bytes, never splitting a character; terminated.
ZVP4D_EXPORT int __cdecl UnicodeToAscii(const wchar_t* text, int sizeBytes, char* output, int outputBytes);

ZVP4D_EXPORT HRESULT __cdecl QueryDeviceCapabilities(void);
ZVP4D_EXPORT HRESULT __cdecl QueryFeatureDefaults(void);
ZVP4D_EXPORT HRESULT __cdecl StartQuery(void);
ZVP4D_EXPORT HRESULT __cdecl OutFeatureCapability(void);
ZVP4D_EXPORT HRESULT __cdecl OutFeatureSettings(void);
ZVP4D_EXPORT HRESULT __cdecl ReadFeatureSettings(void);
ZVP4D_EXPORT HRESULT __cdecl CalculatePrintableImageSize(void);
