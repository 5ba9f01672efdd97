// Bare start of devfinder: shows the selector window from its resource.
// The search, the checkbox list and the printer setup are not built yet,
// so Refresh says so instead of pretending to search.
#include <windows.h>
#include <commctrl.h>

#include "resource.h"

namespace {

INT_PTR CALLBACK SkeletonDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
        case IDCANCEL:
            EndDialog(dialog, 0);
            return TRUE;
        case IDC_REFRESH:
            MessageBoxA(dialog, "The network search is not available in this build.", "devfinder",
                        MB_OK | MB_ICONERROR);
            return TRUE;
        }
        break;
    }
    return FALSE;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    INITCOMMONCONTROLSEX classes = {sizeof(classes), ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&classes);
    return static_cast<int>(DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_SELECTOR), nullptr, SkeletonDialogProc, 0));
}
