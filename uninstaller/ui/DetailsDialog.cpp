#include "DetailsDialog.h"

#include <commctrl.h>

#include "DirectoryResolver.h"
#include "resource.h"

INT_PTR DetailsDialog::run(HWND owner) {
  return DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_DETAILS), owner, sharedDialogProcedure,
                         reinterpret_cast<LPARAM>(static_cast<DialogObject*>(this)));
}

void DetailsDialog::initialise() {
  const bool single = SingleSelectedPrinter(database_.Printers()) != nullptr;
  EnableWindow(GetDlgItem(window_, IDC_DETAILS_SINGLE_PROFILE), single ? TRUE : FALSE);
  SendDlgItemMessageA(window_, IDC_DETAILS_LIST, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT,
                      LVS_EX_FULLROWSELECT);
  CheckRadioButton(window_, IDC_DETAILS_DELETE_INI, IDC_DETAILS_DIRECTORIES, choice_);
  showChoice(choice_);
}

void DetailsDialog::showRows(const std::vector<std::string>& columns, const std::vector<DetailsRow>& rows) {
  HWND list = GetDlgItem(window_, IDC_DETAILS_LIST);
  SendMessageA(list, WM_SETREDRAW, FALSE, 0);
  SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
  while (SendMessageA(list, LVM_DELETECOLUMN, 0, 0)) {
  }
  for (std::size_t index = 0; index < columns.size(); ++index) {
    LVCOLUMNA column = {};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.cx = 100;
    column.pszText = const_cast<char*>(columns[index].c_str());
    SendMessageA(list, LVM_INSERTCOLUMNA, index, reinterpret_cast<LPARAM>(&column));
  }
  for (std::size_t row = 0; row < rows.size(); ++row) {
    LVITEMA item = {};
    item.mask = LVIF_TEXT;
    item.iItem = static_cast<int>(row);
    item.pszText = const_cast<char*>(rows[row][0].c_str());
    const int inserted = static_cast<int>(SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
    for (std::size_t column = 1; column < rows[row].size() && column < columns.size(); ++column) {
      LVITEMA text = {};
      text.iSubItem = static_cast<int>(column);
      text.pszText = const_cast<char*>(rows[row][column].c_str());
      SendMessageA(list, LVM_SETITEMTEXTA, inserted, reinterpret_cast<LPARAM>(&text));
    }
  }
  for (std::size_t column = 0; column < columns.size(); ++column)
    SendMessageA(list, LVM_SETCOLUMNWIDTH, column, LVSCW_AUTOSIZE_USEHEADER);
  SendMessageA(list, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list, nullptr, TRUE);
}

void DetailsDialog::showChoice(int control) {
  const DetailsChoice* choice = FindDetailsChoice(control);
  if (!choice) return;
  choice_ = control;
  database_.BuildRemovalPlan();

  const bool singleMode = IsDlgButtonChecked(window_, IDC_DETAILS_SINGLE_PROFILE) == BST_CHECKED;
  DetailsProfile profile;
  if (const InstalledPrinter* printer = SingleSelectedPrinter(database_.Printers()); printer && singleMode)
    profile = ProfileOfPrinter(database_, *printer);
  SetWindowTextA(window_, DetailsTitle(singleMode, profile).c_str());

  if (!choice->list) {
    const OsInfo os = os_;
    showRows(choice->columns,
             DirectoryVariableRows([&os](int code) { return resolveDirectoryCode(code, os).directoryPart(); }));
    return;
  }
  const UninstallProfile& source = singleMode ? profile.profile : database_.RemovalPlan();
  showRows(choice->columns, DetailsRowsOf(source.Items(*choice->list), choice->columns.size()));
}

INT_PTR DetailsDialog::handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      window_ = window;
      initialise();
      return TRUE;
    case WM_COMMAND: {
      const int id = LOWORD(wParam);
      if (id == IDOK || id == IDCANCEL) {
        EndDialog(window, id);
        return TRUE;
      }
      if (id == IDC_DETAILS_SINGLE_PROFILE) {
        showChoice(choice_);
        return TRUE;
      }
      if (FindDetailsChoice(id) && HIWORD(wParam) == BN_CLICKED) {
        showChoice(id);
        return TRUE;
      }
      return FALSE;
    }
    default:
      return FALSE;
  }
}
