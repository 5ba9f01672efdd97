#include "SelectionPanel.h"

#include <commctrl.h>

#include "Trace.h"
#include "UninstallerMessages.h"
#include "resource.h"

namespace {

const unsigned kColumnTexts[] = {IDS_COLUMN_NAME,    IDS_COLUMN_DRIVER, IDS_COLUMN_LOCATION,
                                 IDS_COLUMN_DEFAULT, IDS_COLUMN_OURS,   IDS_COLUMN_MASKED};

}  // namespace

HWND SelectionPanel::create(HWND mainWindow, const RECT& area) {
  mainWindow_ = mainWindow;
  CreateDialogParamA(GetModuleHandleA(nullptr), "IDD_SELECT", mainWindow, sharedDialogProcedure,
                     reinterpret_cast<LPARAM>(this));
  if (window_)
    SetWindowPos(window_, nullptr, area.left, area.top, area.right - area.left, area.bottom - area.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  return window_;
}

void SelectionPanel::initialise() {
  SetDlgItemTextA(window_, IDC_SELECT_LABEL, texts_.text(IDS_SELECT_LABEL));
  SetDlgItemTextA(window_, IDC_SELECT_WARNING, texts_.text(IDS_SELECT_WARNING));
  HWND list = GetDlgItem(window_, IDC_PRINTER_LIST);
  int index = 0;
  for (unsigned textId : kColumnTexts) {
    LVCOLUMNA column = {};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.cx = 100;
    column.pszText = const_cast<char*>(texts_.text(textId));
    SendMessageA(list, LVM_INSERTCOLUMNA, index++, reinterpret_cast<LPARAM>(&column));
  }
  LVITEMA placeholder = {};
  placeholder.mask = LVIF_TEXT;
  placeholder.pszText = const_cast<char*>(texts_.text(IDS_LOADING_ITEM));
  SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&placeholder));
}

int SelectionPanel::fillList() {
  HCURSOR previous = SetCursor(LoadCursor(nullptr, IDC_WAIT));
  SendDlgItemMessageA(window_, IDC_PRINTER_LIST, LVM_DELETEALLITEMS, 0, 0);
  writeTrace("uninstaller: printer list not implemented yet: no printer offered");
  SetCursor(previous);
  return 0;
}

int SelectionPanel::recordSelection() {
  return static_cast<int>(SendDlgItemMessageA(window_, IDC_PRINTER_LIST, LVM_GETSELECTEDCOUNT, 0, 0));
}

INT_PTR SelectionPanel::handleMessage(HWND window, UINT message, WPARAM, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      window_ = window;
      initialise();
      return TRUE;
    case WM_NOTIFY: {
      auto* header = reinterpret_cast<NMHDR*>(lParam);
      if (header->idFrom == IDC_PRINTER_LIST && header->code == LVN_ITEMCHANGED &&
          SendMessageA(header->hwndFrom, LVM_GETSELECTEDCOUNT, 0, 0) > 0)
        SendMessageA(mainWindow_, WM_UNINSTALLER_ENABLE_UNINSTALL, 1, 0);
      SetWindowLongPtrA(window, DWLP_MSGRESULT, 0);
      return TRUE;
    }
    default:
      return FALSE;
  }
}
