#pragma once
// The Windows implementations of the setup layer, for the selector window.

#include <windows.h>

#include <memory>

#include "PrinterSetup.h"

// Port lists, port and queue creation and deletion through the real spooler.
std::unique_ptr<PrinterSetup> CreateSpoolerPrinterSetup();
// The Port Name Editor, owned by `owner` (null: the active window when it opens),
// its dialog and messages taken from `resources`.
std::unique_ptr<PortNameEditor> CreatePortNameEditor(HWND owner, HINSTANCE resources);
