#pragma once
// The source's localised message boxes (warning icon, ANSI or wide window
// calls by shellState().ansiMode). Every box text also goes to DebugTrace; with the show
// flag off only the trace happens and 0 is returned.
#include <windows.h>

int ShowWarning(HWND owner, UINT stringId, BOOL show);
int ShowWarningFormatted(HWND owner, UINT stringId, int value, BOOL show);

// Localised text and caption with OK and Cancel; returns IDOK or IDCANCEL.
int AskOkCancel(HWND owner, UINT textId, UINT captionId);

// The untranslated string-table text with the caption "Calder TWAIN
// Driver" and the warning icon; traces "text\n\nline @ sourceName".
int ShowPlainWarning(HWND owner, UINT stringId, int line, const char* sourceName);
