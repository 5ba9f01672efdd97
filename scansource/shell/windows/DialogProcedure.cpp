#include "shell/windows/DialogProcedure.h"

#include "twain/CallBoundary.h"

INT_PTR CALLBACK sourceDialogProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG)
        SetWindowLongPtrA(window, DWLP_USER, lParam);
    auto* object = reinterpret_cast<DialogObject*>(GetWindowLongPtrA(window, DWLP_USER));
    if (!object)
        return FALSE;
    if (message == WM_NCDESTROY)
        SetWindowLongPtrA(window, DWLP_USER, 0);
    return callAtBoundary([&] { return object->handleMessage(window, message, wParam, lParam); },
                          [&](BoundaryFailure) { return object->answerAfterFailure(window); });
}
