#pragma once
// Every dialog of the source is an object of this kind. The one dialog
// procedure stores the object, passed as the creation parameter, at
// WM_INITDIALOG, hands it each message and forgets it after WM_NCDESTROY.
// Nothing thrown in a handler reaches the host application.
#include <windows.h>

class DialogObject {
public:
    virtual ~DialogObject() = default;
    virtual INT_PTR handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) = 0;
    // The answer when handleMessage threw: not handled.
    virtual INT_PTR answerAfterFailure(HWND /*window*/) { return FALSE; }
};

INT_PTR CALLBACK sourceDialogProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
