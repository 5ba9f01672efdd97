#include "shell/windows/ScanProgressDialog.h"

#include "StringIds.h"
#include "device/ScanCancel.h"
#include "shell/Localization.h"
#include "shell/MessageBoxes.h"

#include <commctrl.h>

#include <stdio.h>

namespace {
constexpr int kTextBufferBytes = 1024;
}

bool ScanProgressDialog::create(HWND owner)
{
    destroy();
    LPARAM self = reinterpret_cast<LPARAM>(static_cast<DialogObject*>(this));
    window_ = shellState().ansiMode
                  ? CreateDialogParamA(shellState().instance, MAKEINTRESOURCEA(IDD_DLG_SCAN_CALDER_DBCS), owner,
                                       sourceDialogProcedure, self)
                  : CreateDialogParamW(shellState().instance, MAKEINTRESOURCEW(IDD_DLG_SCAN_CALDER_UNICODE), owner,
                                       sourceDialogProcedure, self);
    if (!window_)
        return false;
    ShowWindow(window_, SW_SHOW);
    return true;
}

void ScanProgressDialog::dispatchMessages()
{
    MSG message;
    while (window_ && PeekMessageA(&message, window_, 0, 0, PM_REMOVE)) {
        if (!IsDialogMessageA(window_, &message)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
}

void ScanProgressDialog::showPercent(int percent)
{
    if (!window_)
        return;
    // The bar first: whoever reads the text sees the bar already there.
    SendDlgItemMessageA(window_, IDC_SCAN_PROGRESS, PBM_SETPOS, static_cast<WPARAM>(percent), 0);
    char text[16];
    snprintf(text, sizeof text, "%d%%", percent);
    SetDlgItemTextA(window_, IDC_SCAN_PERCENT, text);
}

void ScanProgressDialog::destroy()
{
    if (window_ && IsWindow(window_))
        DestroyWindow(window_);
    window_ = nullptr;
}

void ScanProgressDialog::onInitDialog()
{
    greyBrush_ = CreateSolidBrush(RGB(192, 192, 192));
    SendDlgItemMessageA(window_, IDC_SCAN_PROGRESS, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
    SendDlgItemMessageA(window_, IDC_SCAN_PROGRESS, PBM_SETPOS, 0, 0);
    LocalizeDialogControls(window_);
    alignas(WCHAR) char title[kTextBufferBytes] = {};
    if (LoadLocalizedString(IDS_TWAINUI_CAPTION, title, sizeof title) != -1)
        SetLocalizedWindowText(window_, title);
}

void ScanProgressDialog::onCancel()
{
    cancelRequested = 1;
    // Without the abort the device goes on sending: keep the dialog so
    // that the user can try again.
    if (!sendAbort_ || !sendAbort_()) {
        ShowWarning(window_, IDS_ERROR_SCAN_ABORT, FALSE);
        return;
    }
    DestroyWindow(window_);
}

INT_PTR ScanProgressDialog::handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        window_ = window;
        onInitDialog();
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_SCAN_CANCEL || LOWORD(wParam) == IDCANCEL) {
            onCancel();
            return TRUE;
        }
        return FALSE;
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC:
        SetBkColor(reinterpret_cast<HDC>(wParam), RGB(192, 192, 192));
        return reinterpret_cast<INT_PTR>(greyBrush_);
    case WM_DESTROY:
        if (greyBrush_)
            DeleteObject(greyBrush_);
        greyBrush_ = nullptr;
        return TRUE;
    case WM_NCDESTROY:
        window_ = nullptr;
        return FALSE;
    default:
        return FALSE;
    }
}
