#include "DialogProcedure.h"

INT_PTR CALLBACK sharedDialogProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) SetWindowLongPtrA(window, GWLP_USERDATA, lParam);
  auto* object = reinterpret_cast<DialogObject*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (object) return object->handleMessage(window, message, wParam, lParam);
  if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
    EndDialog(window, LOWORD(wParam) == IDOK ? 1 : 0);
    return TRUE;
  }
  return FALSE;
}

HWND createChildPanel(const char* templateName, HWND parent, const RECT& area, DialogObject* object) {
  HWND panel = CreateDialogParamA(GetModuleHandleA(nullptr), templateName, parent, sharedDialogProcedure,
                                  reinterpret_cast<LPARAM>(object));
  if (panel)
    SetWindowPos(panel, nullptr, area.left, area.top, area.right - area.left, area.bottom - area.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  return panel;
}
