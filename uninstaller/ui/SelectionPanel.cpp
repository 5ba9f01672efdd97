#include "SelectionPanel.h"

#include <commctrl.h>

#include <iterator>

#include "TextCompare.h"
#include "UninstallerMessages.h"
#include "resource.h"

namespace {

const unsigned kColumnTexts[] = {IDS_COLUMN_NAME,    IDS_COLUMN_DRIVER, IDS_COLUMN_LOCATION,
                                 IDS_COLUMN_DEFAULT, IDS_COLUMN_OURS,   IDS_COLUMN_MASKED};

}  // namespace

HWND SelectionPanel::create(HWND mainWindow, const RECT& area) {
  mainWindow_ = mainWindow;
  createChildPanel("IDD_SELECT", mainWindow, area, this);
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

void SelectionPanel::addPrinter(int row, const InstalledPrinter& printer) {
  HWND list = GetDlgItem(window_, IDC_PRINTER_LIST);
  LVITEMA item = {};
  item.mask = LVIF_TEXT;
  item.iItem = row;
  item.pszText = const_cast<char*>(printer.name.c_str());
  row = static_cast<int>(SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
  // At most four texts from the table: it keeps four alive at a time.
  const char* columns[] = {
      printer.driver.c_str(),
      printer.server.empty() ? texts_.text(IDS_LOCAL) : printer.server.c_str(),
      texts_.text(printer.isDefault ? IDS_YES : IDS_NO),
      texts_.text(printer.ours ? IDS_YES : IDS_NO),
      printer.baseName.empty() ? texts_.text(IDS_NOT_APPLICABLE) : printer.baseName.c_str(),
  };
  for (int column = 1; column <= 5; ++column) {
    item.iSubItem = column;
    item.pszText = const_cast<char*>(columns[column - 1]);
    SendMessageA(list, LVM_SETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
  }
}

int SelectionPanel::fillList() {
  HCURSOR previous = SetCursor(LoadCursor(nullptr, IDC_WAIT));
  HWND list = GetDlgItem(window_, IDC_PRINTER_LIST);
  SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
  int offered = 0;
  for (const InstalledPrinter& printer : database_.Printers())
    if (printer.Offered()) addPrinter(offered++, printer);
  if (offered > 0) {
    for (int column = 0; column < static_cast<int>(std::size(kColumnTexts)); ++column)
      SendMessageA(list, LVM_SETCOLUMNWIDTH, column, LVSCW_AUTOSIZE_USEHEADER);
    ListView_SetItemState(list, 0, LVIS_FOCUSED, LVIS_FOCUSED);
    SendMessageA(mainWindow_, WM_UNINSTALLER_ENABLE_UNINSTALL, 0, 0);
  }
  SetCursor(previous);
  return offered;
}

int SelectionPanel::recordSelection() {
  HWND list = GetDlgItem(window_, IDC_PRINTER_LIST);
  const int rows = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
  int selected = 0;
  for (int row = 0; row < rows; ++row) {
    char name[260] = "";
    LVITEMA item = {};
    item.pszText = name;
    item.cchTextMax = sizeof name;
    SendMessageA(list, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
    const bool isSelected = ListView_GetItemState(list, row, LVIS_SELECTED) != 0;
    if (isSelected) ++selected;
    for (InstalledPrinter& printer : database_.Printers())
      if (EqualsIgnoringCase(printer.name, name)) printer.keep = !isSelected;
  }
  return selected;
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
