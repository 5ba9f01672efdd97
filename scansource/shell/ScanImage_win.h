#pragma once
// The source's scan on the process's scanner, with its dialogs.
#include "ScanJob.h"

#include <windows.h>

// The window that owns the progress dialog, the lamp dialog and the boxes
// of the following scans (the scan settings window while it exists; null
// otherwise).
void setScanImageOwner(HWND owner);

// Before a scan from the feeder: the load-paper prompt while the feeder is
// empty (queryFeederStatus with covers reported); true when the scan may go on.
bool ensureFeederLoaded(HWND owner, bool feederEnabled);
