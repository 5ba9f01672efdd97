#pragma once
// Locks the scanner at the start of a scan, showing the lamp-warming
// dialog (owned by owner) while the scanner refuses.
#include "ScannerLock.h"

#include <windows.h>

LockOutcome lockScannerForScan(HWND owner);
