#pragma once
// The modeless scan settings window that MSG_ENABLEDS shows.
#include <windows.h>

bool CreateScanWindow(HWND owner);
bool ScanWindowExists();
void DestroyScanWindow();
// True when the window consumed the message (IsDialogMessage, ANSI form).
bool ScanWindowConsumes(const MSG* message);
