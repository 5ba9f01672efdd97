#include "SelectionPanel.h"

#include <iterator>

#include "DetailsDialog.h"
#include "SelectionRows.h"
#include "TextCompare.h"
#include "UninstallerMessages.h"
#include "resource.h"

namespace {

const unsigned kColumnTexts[] = {IDS_COLUMN_NAME,    IDS_COLUMN_DRIVER, IDS_COLUMN_LOCATION,
                                 IDS_COLUMN_DEFAULT, IDS_COLUMN_OURS,   IDS_COLUMN_MASKED};

constexpr int kSmallIconWidth = 18;
constexpr int kLargeIconWidth = 32;
constexpr COLORREF kTransparent = RGB(255, 0, 255);

struct ViewCommand {
  int command;
  DWORD view;
};

const ViewCommand kViewCommands[] = {{IDM_VIEW_LARGE_ICONS, LVS_ICON},
                                     {IDM_VIEW_SMALL_ICONS, LVS_SMALLICON},
                                     {IDM_VIEW_LIST, LVS_LIST},
                                     {IDM_VIEW_DETAILS, LVS_REPORT}};

// "Other Details..." and its separator, from the end of the popup; the
// popup has no item at position 10, so deleting it does nothing.
const int kOtherDetailsPositions[] = {10, 9, 8};

}  // namespace

bool otherDetailsEnabled() {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\ARVEL NORVANE\\XUINST_Z", 0, KEY_READ, &key) != ERROR_SUCCESS)
    return false;
  char value[MAX_PATH] = "";
  DWORD size = sizeof value - 1;
  DWORD type = 0;
  const bool set = RegQueryValueExA(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(value), &size) ==
                       ERROR_SUCCESS &&
                   size > 0 && value[0] != '\0';
  RegCloseKey(key);
  return set;
}

SelectionPanel::~SelectionPanel() {
  if (menu_) DestroyMenu(menu_);
}

HWND SelectionPanel::create(HWND mainWindow, const RECT& area) {
  mainWindow_ = mainWindow;
  createChildPanel("IDD_SELECT", mainWindow, area, this);
  return window_;
}

HWND SelectionPanel::list() const { return GetDlgItem(window_, IDC_PRINTER_LIST); }

void SelectionPanel::initialise() {
  SetDlgItemTextA(window_, IDC_SELECT_LABEL, texts_.text(IDS_SELECT_LABEL));
  SetDlgItemTextA(window_, IDC_SELECT_WARNING, texts_.text(IDS_SELECT_WARNING));
  HWND printers = list();
  int index = 0;
  for (unsigned textId : kColumnTexts) {
    LVCOLUMNA column = {};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.cx = 100;
    column.pszText = const_cast<char*>(texts_.text(textId));
    SendMessageA(printers, LVM_INSERTCOLUMNA, index++, reinterpret_cast<LPARAM>(&column));
  }
  LVITEMA placeholder = {};
  placeholder.mask = LVIF_TEXT;
  placeholder.pszText = const_cast<char*>(texts_.text(IDS_LOADING_ITEM));
  SendMessageA(printers, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&placeholder));

  // The list view destroys its image lists with itself.
  HINSTANCE instance = GetModuleHandleA(nullptr);
  HIMAGELIST small = ImageList_LoadImageA(instance, MAKEINTRESOURCEA(IDB_PRINTERS_SMALL), kSmallIconWidth, 0,
                                          kTransparent, IMAGE_BITMAP, LR_CREATEDIBSECTION);
  HIMAGELIST large = ImageList_LoadImageA(instance, MAKEINTRESOURCEA(IDB_PRINTERS_LARGE), kLargeIconWidth, 0,
                                          kTransparent, IMAGE_BITMAP, LR_CREATEDIBSECTION);
  SendMessageA(printers, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(small));
  SendMessageA(printers, LVM_SETIMAGELIST, LVSIL_NORMAL, reinterpret_cast<LPARAM>(large));
}

void SelectionPanel::addPrinter(int row, const InstalledPrinter& printer) {
  HWND printers = list();
  const auto columns = PrinterColumnTexts(printer, texts_);
  LVITEMA item = {};
  item.mask = LVIF_TEXT | LVIF_IMAGE;
  item.iItem = row;
  item.iImage = PrinterImageIndex(printer);
  item.pszText = const_cast<char*>(columns[0].c_str());
  row = static_cast<int>(SendMessageA(printers, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
  for (int column = 1; column < static_cast<int>(columns.size()); ++column) {
    LVITEMA text = {};
    text.iSubItem = column;
    text.pszText = const_cast<char*>(columns[column].c_str());
    SendMessageA(printers, LVM_SETITEMTEXTA, row, reinterpret_cast<LPARAM>(&text));
  }
}

int SelectionPanel::fillList() {
  HCURSOR previous = SetCursor(LoadCursor(nullptr, IDC_WAIT));
  HWND printers = list();
  SendMessageA(printers, LVM_DELETEALLITEMS, 0, 0);
  int offered = 0;
  for (const InstalledPrinter& printer : database_.Printers())
    if (printer.Offered()) addPrinter(offered++, printer);
  if (offered > 0) {
    for (int column = 0; column < static_cast<int>(std::size(kColumnTexts)); ++column)
      SendMessageA(printers, LVM_SETCOLUMNWIDTH, column, LVSCW_AUTOSIZE_USEHEADER);
    ListView_SetItemState(printers, 0, LVIS_FOCUSED, LVIS_FOCUSED);
    SendMessageA(mainWindow_, WM_UNINSTALLER_ENABLE_UNINSTALL, 0, 0);
  }
  SetCursor(previous);
  return offered;
}

int SelectionPanel::recordSelection() {
  HWND printers = list();
  const int rows = static_cast<int>(SendMessageA(printers, LVM_GETITEMCOUNT, 0, 0));
  int selected = 0;
  for (int row = 0; row < rows; ++row) {
    char name[260] = "";
    LVITEMA item = {};
    item.pszText = name;
    item.cchTextMax = sizeof name;
    SendMessageA(printers, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
    const bool isSelected = ListView_GetItemState(printers, row, LVIS_SELECTED) != 0;
    if (isSelected) ++selected;
    for (InstalledPrinter& printer : database_.Printers())
      if (EqualsIgnoringCase(printer.name, name)) printer.keep = !isSelected;
  }
  return selected;
}

void SelectionPanel::showContextMenu(POINT screen) {
  if (!menu_) {
    menu_ = LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_PRINTER_MENU));
    if (!menu_) return;
    if (!otherDetailsEnabled())
      for (int position : kOtherDetailsPositions) DeleteMenu(GetSubMenu(menu_, 0), position, MF_BYPOSITION);
  }
  HMENU popup = GetSubMenu(menu_, 0);
  const DWORD view = static_cast<DWORD>(GetWindowLongPtrA(list(), GWL_STYLE)) & LVS_TYPEMASK;
  for (const ViewCommand& entry : kViewCommands)
    CheckMenuItem(popup, entry.command, MF_BYCOMMAND | (entry.view == view ? MF_CHECKED : MF_UNCHECKED));
  const UINT selection = SendMessageA(list(), LVM_GETSELECTEDCOUNT, 0, 0) > 0 ? MF_ENABLED : MF_GRAYED;
  EnableMenuItem(popup, IDM_REMOVE_PRINTERS, MF_BYCOMMAND | selection);
  EnableMenuItem(popup, IDM_OTHER_DETAILS, MF_BYCOMMAND | selection);
  SetMenuDefaultItem(popup, IDM_REMOVE_PRINTERS, FALSE);
  TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_RIGHTBUTTON, screen.x, screen.y, 0, window_, nullptr);
}

void SelectionPanel::onMenuCommand(int command) {
  HWND printers = list();
  for (const ViewCommand& entry : kViewCommands) {
    if (entry.command != command) continue;
    LONG_PTR style = GetWindowLongPtrA(printers, GWL_STYLE);
    SetWindowLongPtrA(printers, GWL_STYLE, (style & ~LVS_TYPEMASK) | entry.view);
    InvalidateRect(printers, nullptr, TRUE);
    return;
  }
  switch (command) {
    case IDM_SELECT_ALL:
      ListView_SetItemState(printers, -1, LVIS_SELECTED, LVIS_SELECTED);
      break;
    case IDM_REMOVE_PRINTERS:
      recordSelection();
      PostMessageA(mainWindow_, WM_UNINSTALLER_START_REMOVAL, 0, 0);
      break;
    case IDM_OTHER_DETAILS: {
      recordSelection();
      DetailsDialog details(database_, os_);
      details.run(mainWindow_);
      break;
    }
    default:
      break;
  }
}

INT_PTR SelectionPanel::handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      window_ = window;
      initialise();
      return TRUE;
    case WM_NOTIFY: {
      auto* header = reinterpret_cast<NMHDR*>(lParam);
      if (header->idFrom == IDC_PRINTER_LIST) {
        if (header->code == LVN_ITEMCHANGED && SendMessageA(header->hwndFrom, LVM_GETSELECTEDCOUNT, 0, 0) > 0)
          SendMessageA(mainWindow_, WM_UNINSTALLER_ENABLE_UNINSTALL, 1, 0);
        if (header->code == NM_RCLICK) {
          POINT cursor;
          GetCursorPos(&cursor);
          showContextMenu(cursor);
        }
      }
      SetWindowLongPtrA(window, DWLP_MSGRESULT, 0);
      return TRUE;
    }
    case WM_COMMAND:
      onMenuCommand(LOWORD(wParam));
      return TRUE;
    default:
      return FALSE;
  }
}
