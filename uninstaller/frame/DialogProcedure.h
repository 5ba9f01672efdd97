#pragma once

#include <windows.h>

// Every dialog of the program is an object of this kind; the shared
// dialog procedure finds it in the window's user slot.
class DialogObject {
 public:
  virtual ~DialogObject() = default;
  virtual INT_PTR handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) = 0;
};

// Pass the object as the creation parameter (DialogBoxParam,
// CreateDialogParam); it is stored at WM_INITDIALOG.
INT_PTR CALLBACK sharedDialogProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
