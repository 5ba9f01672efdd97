#include "ui/ScanProgressDialog.h"

#include "device/DeviceStringIds.h"
#include "device/ScanCancel.h"
#include "pipeline/ScanJobStringIds.h"
#include "twain/CallBoundary.h"
#include "twain/Localization.h"
#include "ui/MessageBoxes.h"

#include <commctrl.h>

#include <stdio.h>

namespace {
constexpr int kTextBufferBytes = 1024;
}

bool ScanProgressDialog::create(HWND owner)
{
    destroy();
    LPARAM self = reinterpret_cast<LPARAM>(this);
    window_ = ansiMode
                  ? CreateDialogParamA(dllInstance, MAKEINTRESOURCEA(IDD_DLG_SCAN_CALDER_DBCS), owner, dialogProc, self)
                  : CreateDialogParamW(dllInstance, MAKEINTRESOURCEW(IDD_DLG_SCAN_CALDER_UNICODE), owner, dialogProc,
                                       self);
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
    if (LoadLocalizedString(TWAINUI_CAPTION, title, sizeof title) != -1)
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

INT_PTR CALLBACK ScanProgressDialog::dialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return callAtBoundary([&] { return handleMessage(window, message, wParam, lParam); },
                          [](BoundaryFailure) -> INT_PTR { return FALSE; });
}

INT_PTR ScanProgressDialog::handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        auto* self = reinterpret_cast<ScanProgressDialog*>(lParam);
        SetWindowLongPtrA(window, DWLP_USER, lParam);
        self->window_ = window;
        self->onInitDialog();
        return TRUE;
    }
    auto* self = reinterpret_cast<ScanProgressDialog*>(GetWindowLongPtrA(window, DWLP_USER));
    if (!self)
        return FALSE;
    switch (message) {
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_SCAN_CANCEL || LOWORD(wParam) == IDCANCEL) {
            self->onCancel();
            return TRUE;
        }
        return FALSE;
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC:
        SetBkColor(reinterpret_cast<HDC>(wParam), RGB(192, 192, 192));
        return reinterpret_cast<INT_PTR>(self->greyBrush_);
    case WM_DESTROY:
        if (self->greyBrush_)
            DeleteObject(self->greyBrush_);
        self->greyBrush_ = nullptr;
        return TRUE;
    case WM_NCDESTROY:
        SetWindowLongPtrA(window, DWLP_USER, 0);
        self->window_ = nullptr;
        return FALSE;
    default:
        return FALSE;
    }
}
