#pragma once

#include <windows.h>

// Messages between the uninstaller's windows, and its timers.
constexpr UINT WM_UNINSTALLER_ENABLE_UNINSTALL = 1127;  // wParam 1 enables, 0 disables
constexpr UINT WM_UNINSTALLER_START_REMOVAL = 1128;
constexpr UINT WM_UNINSTALLER_REMOVAL_FINISHED = 1129;
constexpr UINT WM_UNINSTALLER_NO_SCANNER_PENDING = 1131;

constexpr UINT_PTR kLoadingTimer = 1126;
constexpr UINT_PTR kRemovalTimer = 1130;
constexpr UINT kRemovalTimerPeriod = 200;

constexpr const char* kMainWindowClass = "VXTUninstallWindowClass__";
