#pragma once
// The package's other programs, which the loading sequence closes before it
// touches the spooler: the first top-level window of each class gets
// WM_CLOSE with wParam 0 and the lParam given here. This table is the
// package's configuration; keep every class name here and nowhere else.

#include <array>

struct PackageProgramWindow {
    const char* windowClass;
    long closeParameter;  // lParam of WM_CLOSE
    const char* program;  // what it is, for people reading the table
};

inline constexpr std::array<PackageProgramWindow, 9> kPackageProgramWindows = {{
    {"VXTStatusMonitorClass_Z", 0, "status monitor, main window"},
    // 1 asks the tray part to leave without its "really quit?" question.
    {"VXTStatusMonitorTray_Z", 1, "status monitor, notification-area icon"},
    {"VXTJobMonitorClass_Z", 0, "print job monitor"},
    {"VXTMessagePopupClass_Z", 0, "printer message pop-up"},
    {"VXTSetupWindowClass_Z", 0, "package installer, main window"},
    {"VXTSetupProgressClass_Z", 0, "package installer, progress window"},
    {"VXTPortSetupClass_Z", 0, "network port set-up assistant"},
    {"VXTScanButtonClass_Z", 0, "scanner button monitor"},
    {"VeneerMainClass_Z", 0, "printer-masking tool"},
}};

// Registered and posted to every top-level window after the table's windows
// are closed, for programs of the package that no class above names.
inline constexpr const char kUninstallCloseMessage[] = "XUninstClose_Z";
