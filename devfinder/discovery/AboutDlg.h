#pragma once
// The About box (dialog 4096): the program's description, centred over its owner.
#include <windows.h>

class CAboutDlg {
public:
    INT_PTR DoModal(HINSTANCE instance, HWND owner);

private:
    static INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    void OnInitDialog(HWND dialog);

    HINSTANCE instance_ = nullptr;
};
