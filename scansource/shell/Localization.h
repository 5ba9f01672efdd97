#pragma once
// Localised texts: the string table holds message keys, the support
// library's translation table their texts.
#include <windows.h>

#include "shell/ShellState.h"

// Chooses shellState().ansiMode from the support library's Windows version.
void decideAnsiMode();

// Translates a key into out (at least 1024 bytes), wide or ANSI as the
// translation table holds them; false when the key has no translation.
bool TranslateKey(const char* key, void* out);

// The text of string stringId in buffer, in the form ansiMode selects:
// the translation and its length, or the key itself and minus its length
// when there is no translation; -1 when the string table has no entry.
int LoadLocalizedString(UINT stringId, void* buffer, int bufferBytes);

// The same for a key that is not in the string table.
int LoadLocalizedKey(const char* key, void* buffer, int bufferBytes);

// Gives every child control whose id has a string-table entry with a
// non-empty translation that text.
void LocalizeDialogControls(HWND dialog);

// Sets a window's text from a buffer filled by LoadLocalizedString.
void SetLocalizedWindowText(HWND window, const void* text);
