#include "AboutDlg.h"

#include "resource.h"

INT_PTR CAboutDlg::DoModal(HINSTANCE instance, HWND owner)
{
    instance_ = instance;
    return DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_ABOUTBOX), owner, &CAboutDlg::DialogProc,
                           reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK CAboutDlg::DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        reinterpret_cast<CAboutDlg*>(lParam)->OnInitDialog(dialog);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, LOWORD(wParam));
            return TRUE;
        }
        break;
    default:
        break;
    }
    return FALSE;
}

void CAboutDlg::OnInitDialog(HWND dialog)
{
    char text[1024] = {};
    LoadStringA(instance_, IDS_ABOUT_TEXT, text, sizeof text);
    SetDlgItemTextA(dialog, IDC_ABOUT_TEXT, text);
    HWND owner = GetWindow(dialog, GW_OWNER);
    if (!owner) {
        return;
    }
    RECT ownerRect = {};
    RECT box = {};
    GetWindowRect(owner, &ownerRect);
    GetWindowRect(dialog, &box);
    const int width = box.right - box.left;
    const int height = box.bottom - box.top;
    SetWindowPos(dialog, nullptr, ownerRect.left + (ownerRect.right - ownerRect.left - width) / 2,
                 ownerRect.top + (ownerRect.bottom - ownerRect.top - height) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
