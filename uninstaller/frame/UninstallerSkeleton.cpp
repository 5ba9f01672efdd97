// Bare start of the uninstaller: shows the main window with its texts.
// Reading the scripts and removing anything are not built yet, so the
// Uninstall button stays disabled.
#include <windows.h>

#include "resource.h"

namespace {

void SetTextFromTable(HWND window, UINT textId)
{
    char text[512] = {};
    LoadStringA(GetModuleHandleA(nullptr), textId, text, sizeof(text));
    SetWindowTextA(window, text);
}

INT_PTR CALLBACK SkeletonDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        SetTextFromTable(dialog, IDS_TITLE);
        SetTextFromTable(GetDlgItem(dialog, IDC_UNINSTALL), IDS_UNINSTALL_BUTTON);
        SetTextFromTable(GetDlgItem(dialog, IDC_EXIT), IDS_EXIT_BUTTON);
        EnableWindow(GetDlgItem(dialog, IDC_UNINSTALL), FALSE);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_EXIT || LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, 0);
            return TRUE;
        }
        break;
    }
    return FALSE;
}

// The main dialog carries its own class name, a copy of the dialog class,
// so that a second instance can find the first.
bool RegisterMainWindowClass(HINSTANCE instance)
{
    WNDCLASSA dialogClass = {};
    if (!GetClassInfoA(nullptr, "#32770", &dialogClass))
        return false;
    dialogClass.hInstance = instance;
    dialogClass.lpszClassName = "VXTUninstallWindowClass__";
    return RegisterClassA(&dialogClass) != 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    if (!RegisterMainWindowClass(instance))
        return 1;
    return static_cast<int>(DialogBoxParamA(instance, "IDD_MAIN_NOBMP", nullptr, SkeletonDialogProc, 0));
}
