#pragma once
// The source's localised message boxes (warning icon, ANSI or wide window
// calls by ansiMode). Every box text also goes to DebugTrace; with the show
// flag off only the trace happens and 0 is returned.
#include <windows.h>

int ShowWarning(HWND owner, UINT stringId, BOOL show);
int ShowWarningFormatted(HWND owner, UINT stringId, int value, BOOL show);
