#pragma once
// The modal warning before a scan larger than 100 MB: Yes ends with 123
// (scan), No with 345 (do not scan); the "do not display again" box writes
// its state to the settings file at every change.
#include <windows.h>

#include <functional>

constexpr int IDD_DLG_WARNLARGE_UNICODE = 169;
constexpr int IDD_DLG_WARNLARGE_DBCS = 170;
constexpr int IDC_WARNING_NOSHOW = 1054;
constexpr int IDC_WARNING_YES = 1075;
constexpr int IDC_WARNING_NO = 1076;
constexpr INT_PTR kLargeImageScan = 123;
constexpr INT_PTR kLargeImageDoNotScan = 345;
constexpr unsigned long long kLargeImageBytes = 104857600;

// Writes "IDS_DONTASKKEY" of section "IDS_ASKABOUTLARGEIMAGE".
using DontAskWriter = std::function<void(bool dontAsk)>;

// 123 or 345; -1 when the dialog could not be shown or failed.
INT_PTR showLargeImageWarning(HWND owner, const DontAskWriter& writeDontAsk);
