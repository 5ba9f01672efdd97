#pragma once
// Binding of ZVP4_d__.dll, the driver's support library, loaded from the
// source's own folder: message-key translation, Windows version class and
// text conversion.
#include <windows.h>

typedef int(__cdecl* GetWindowsVersionProc)(void);
typedef const char*(__cdecl* GetLocaleIdProc)(void);
typedef int(__cdecl* GetCharSetProc)(void);
typedef void*(__cdecl* StartTranslationProc)(const char* path, const char* locale, DWORD charset);
typedef void(__cdecl* EndTranslationProc)(void* translation);
typedef const void*(__cdecl* GetLocalizedStringProc)(void* translation, const void* key);
typedef int(__cdecl* AsciiToUnicodeProc)(const char* text, int lengthBytes, wchar_t* output, int outputChars);
typedef int(__cdecl* UnicodeToAsciiProc)(const wchar_t* text, int sizeBytes, char* output, int outputBytes);

// Loads the library beside sourceModule and binds its 16 exports in order;
// E_FAIL when the path is too long, the file is missing or an export is
// missing (the exports found before stay bound).
HRESULT LoadSupportLibrary(HMODULE sourceModule);
// Starts the translation table for the locale of the registry, or the
// user's locale when the registry names none.
void StartLocalization();
// Ends the translation table and unloads the library.
void UnloadSupportLibrary();
bool supportLibraryLoaded();

// Binds the library again when it is not loaded (a manager may keep the
// source loaded after closing it); shows the failure box once per process.
void BindSupportLibrary(HMODULE sourceModule);
void ShowSupportLibraryFailureOnce();

// The bound entry points, or null when the library or the export is missing.
GetWindowsVersionProc supportGetWindowsVersion();
GetCharSetProc supportGetCharSet();
GetLocalizedStringProc supportGetLocalizedString();
AsciiToUnicodeProc supportAsciiToUnicode();
UnicodeToAsciiProc supportUnicodeToAscii();
void* translationHandle();
