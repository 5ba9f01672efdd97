#pragma once
// The shell's process-wide state, kept beside SourceContext for the same
// reason: the manager calls the source on one thread and the source serves
// one application at a time, so one record, unlocked, holds what the shell
// keeps between calls.
#include <windows.h>

#include <memory>
#include <optional>

#include "SettingsFile.h"
#include "scanwindow/SelectionGeometry.h"
#include "shell/windows/DialogProcedure.h"

struct ScannerDevice;

// ZVP4_d__.dll: its module, its 16 exports by index, the translation table.
struct SupportLibraryBinding {
    HMODULE module;
    FARPROC entries[16];
    void* translation;
};

// ZVP4_i__.dll: its module and its six entry points, bound by ordinal; the
// binding gives them their types. Loading is tried once until the library
// is released.
struct ImagingLibraryBinding {
    HMODULE module = nullptr;
    FARPROC bitmapFromDib = nullptr;
    FARPROC dibFromBitmap = nullptr;
    FARPROC resize = nullptr;
    FARPROC prepareMemoryTransfer = nullptr;
    FARPROC saveFile = nullptr;
    FARPROC loadFile = nullptr;
    bool loadAttempted = false;
};

// Not every program that holds this record links the scanner's code, so the
// file that makes the scanner also chooses how it is destroyed.
using ScannerDeviceSlot = std::unique_ptr<ScannerDevice, void (*)(ScannerDevice*)>;

// The preview's image and the selection drawn over it.
struct PreviewState {
    HGLOBAL image = nullptr;
    scanwindow::Selection selection{};
    std::optional<scanwindow::SelectionDrag> drag;
    HCURSOR moveCursor = nullptr;
};

struct ShellState {
    // The source's own module: string table, dialog templates, version.
    HMODULE instance = nullptr;
    // Windows and texts use the ANSI calls and forms (the support library
    // reports a Windows version that needs them); otherwise the wide ones.
    bool ansiMode = false;

    SupportLibraryBinding supportLibrary{};
    // The missing support library is reported once per process.
    bool supportFailureShown = false;
    ImagingLibraryBinding imagingLibrary;

    // The settings file's values, read at MSG_OPENDS and written at MSG_CLOSEDS.
    StoredSettings settings = defaultStoredSettings();

    // The process's one scanner, made on first use.
    ScannerDeviceSlot scanner{nullptr, nullptr};

    // The scan settings window, the object that serves it (made when the
    // window is first created, then kept), and the library its rich edit
    // controls need.
    HWND mainWindow = nullptr;
    std::unique_ptr<DialogObject> scanSettingsDialog;
    HMODULE richEditLibrary = nullptr;
    PreviewState preview;

    // The window that owns a scan's dialogs, and whether a scan runs.
    HWND scanOwner = nullptr;
    bool scanRunning = false;
};

ShellState& shellState();
