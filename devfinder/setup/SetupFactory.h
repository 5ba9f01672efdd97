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
// Refusals and questions as message boxes, owned as the editor is, with the
// caption of string 2000 of `resources`.
std::unique_ptr<SetupPrompts> CreateSetupPrompts(HWND owner, HINSTANCE resources);
