#pragma once
// The shell's process-wide state, kept beside SourceContext for the same
// reason: the manager calls the source on one thread and the source serves
// one application at a time, so one record, unlocked, holds what the shell
// keeps between calls.
#include <windows.h>

#include <optional>

#include "scanwindow/SelectionGeometry.h"

// ZVP4_d__.dll: its module, its 16 exports by index, the translation table.
struct SupportLibraryBinding {
    HMODULE module;
    FARPROC entries[16];
    void* translation;
};

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

    // The scan settings window, and the library its rich edit controls need.
    HWND mainWindow = nullptr;
    HMODULE richEditLibrary = nullptr;
    PreviewState preview;

    // The window that owns a scan's dialogs, and whether a scan runs.
    HWND scanOwner = nullptr;
    bool scanRunning = false;
};

ShellState& shellState();
