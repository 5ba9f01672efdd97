#include "shell/windows/LampWarmingDialog.h"

#include "StringIds.h"
#include "device/ScanCancel.h"
#include "twain/DebugTrace.h"
#include "shell/Localization.h"

#include <commctrl.h>

namespace {
constexpr int kTextBufferBytes = 1024;
}

bool LampWarmingDialog::create(HWND owner, UINT messageStringId)
{
    destroy();
    messageStringId_ = messageStringId;
    LPARAM self = reinterpret_cast<LPARAM>(static_cast<DialogObject*>(this));
    HMODULE module = shellState().instance;
    window_ = shellState().ansiMode
                  ? CreateDialogParamA(module, MAKEINTRESOURCEA(IDD_DLG_LOCKE_DBCS), owner, sourceDialogProcedure, self)
                  : CreateDialogParamW(module, MAKEINTRESOURCEW(IDD_DLG_LOCKE_UNICODE), owner, sourceDialogProcedure,
                                       self);
    if (!window_)
        return false;
    ShowWindow(window_, SW_SHOW);
    return true;
}

void LampWarmingDialog::dispatchMessages(DWORD waitMilliseconds)
{
    // Sleep until something arrives instead of spinning on an empty queue,
    // also when the dialog could not be created.
    MsgWaitForMultipleObjects(0, nullptr, FALSE, waitMilliseconds, QS_ALLINPUT);
    MSG message;
    while (window_ && PeekMessageA(&message, window_, 0, 0, PM_REMOVE)) {
        if (!IsDialogMessageA(window_, &message)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
}

void LampWarmingDialog::destroy()
{
    if (window_ && IsWindow(window_))
        DestroyWindow(window_);
    window_ = nullptr;
}

INT_PTR LampWarmingDialog::handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        window_ = window;
        onInitDialog();
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDCANCEL) {
            cancelRequested = 1;
            DestroyWindow(window);
            return TRUE;
        }
        return FALSE;
    case WM_DESTROY: {
        HWND animation = GetDlgItem(window, IDC_LAMP_ANIMATION);
        Animate_Stop(animation);
        Animate_Close(animation);
        return TRUE;
    }
    case WM_NCDESTROY:
        window_ = nullptr;
        return FALSE;
    default:
        return FALSE;
    }
}

void LampWarmingDialog::onInitDialog()
{
    DebugTrace("In InitDialog for lamp warming");
    LocalizeDialogControls(window_);
    setText(window_, IDS_TWAINUI_CAPTION);
    setText(GetDlgItem(window_, IDC_WAIT_MESSAGE), messageStringId_);
    HWND animation = GetDlgItem(window_, IDC_LAMP_ANIMATION);
    SetWindowLongPtrA(animation, GWL_STYLE, GetWindowLongPtrA(animation, GWL_STYLE) | ACS_TRANSPARENT);
    if (Animate_Open(animation, MAKEINTRESOURCE(IDR_LAMP_ANIMATION)))
        Animate_Play(animation, 0, -1, -1);
}

// The translation of the string, or its key when there is none.
void LampWarmingDialog::setText(HWND control, UINT stringId)
{
    alignas(WCHAR) char text[kTextBufferBytes] = {};
    if (LoadLocalizedString(stringId, text, sizeof text) != -1)
        SetLocalizedWindowText(control, text);
}
