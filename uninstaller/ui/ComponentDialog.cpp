#include "ComponentDialog.h"

#include <string>

#include "resource.h"

namespace {

// The choices carry no mnemonics, and "Imprimante & Scanner" must show
// its ampersand rather than underline the space after it.
void setLiteralText(HWND window, int control, const char* text) {
  std::string literal;
  for (const char* c = text; *c; ++c) {
    literal.push_back(*c);
    if (*c == '&') literal.push_back('&');
  }
  SetDlgItemTextA(window, control, literal.c_str());
}

}  // namespace

INT_PTR ComponentDialog::run(HWND owner) {
  return DialogBoxParamA(GetModuleHandleA(nullptr), "IDD_COMPONENT", owner, sharedDialogProcedure,
                         reinterpret_cast<LPARAM>(this));
}

void ComponentDialog::readChoice(HWND window) {
  if (IsDlgButtonChecked(window, IDC_COMPONENT_SCANNER) == BST_CHECKED)
    choice_ = ComponentChoice::ScannerOnly;
  else if (IsDlgButtonChecked(window, IDC_COMPONENT_PRINTER) == BST_CHECKED)
    choice_ = ComponentChoice::PrinterOnly;
  else
    choice_ = ComponentChoice::Both;
}

INT_PTR ComponentDialog::handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      SetWindowTextA(window, texts_.text(IDS_COMPONENT_CAPTION));
      setLiteralText(window, IDC_COMPONENT_BOTH, texts_.text(IDS_COMPONENT_BOTH));
      setLiteralText(window, IDC_COMPONENT_PRINTER, texts_.text(IDS_COMPONENT_PRINTER));
      setLiteralText(window, IDC_COMPONENT_SCANNER, texts_.text(IDS_COMPONENT_SCANNER));
      SetDlgItemTextA(window, IDC_COMPONENT_TEXT, texts_.text(IDS_COMPONENT_TEXT));
      CheckRadioButton(window, IDC_COMPONENT_BOTH, IDC_COMPONENT_SCANNER, IDC_COMPONENT_BOTH);
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK) {
        readChoice(window);
        EndDialog(window, 1);
        return TRUE;
      }
      if (LOWORD(wParam) == IDCANCEL) {
        EndDialog(window, 2);
        return TRUE;
      }
      return FALSE;
    default:
      return FALSE;
  }
}
