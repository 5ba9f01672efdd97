#pragma once
// The modeless scan settings window that MSG_ENABLEDS shows.
#include <windows.h>

bool CreateScanWindow(HWND owner);
bool ScanWindowExists();
void DestroyScanWindow();
// True when the window consumed the message (IsDialogMessage, ANSI form).
bool ScanWindowConsumes(const MSG* message);

// The window's dialog procedure.
INT_PTR CALLBACK ScanSettingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
