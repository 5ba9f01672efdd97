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

// Creates a modeless child dialog of parent, served by object through the
// shared procedure, and lays it over area (in parent's client coordinates).
HWND createChildPanel(const char* templateName, HWND parent, const RECT& area, DialogObject* object);
