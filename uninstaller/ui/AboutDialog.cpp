#include "AboutDialog.h"

#include <commctrl.h>

#include <cstdio>
#include <string>
#include <vector>

#include "resource.h"

namespace {

std::string programVersion() {
  char path[MAX_PATH];
  DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
  if (length == 0 || length >= sizeof path) return std::string();
  DWORD handle = 0;
  DWORD size = GetFileVersionInfoSizeA(path, &handle);
  if (size == 0) return std::string();
  std::vector<char> data(size);
  VS_FIXEDFILEINFO* info = nullptr;
  UINT infoSize = 0;
  if (!GetFileVersionInfoA(path, 0, size, data.data()) ||
      !VerQueryValueA(data.data(), "\\", reinterpret_cast<void**>(&info), &infoSize) || !info)
    return std::string();
  char text[64];
  std::snprintf(text, sizeof text, "%u.%02u.%02u.%02u", HIWORD(info->dwFileVersionMS),
                LOWORD(info->dwFileVersionMS), HIWORD(info->dwFileVersionLS), LOWORD(info->dwFileVersionLS));
  return text;
}

// Unsigned and 64-bit: a 64-bit process's free address space does not fit
// an int and would show as a negative figure.
std::string kilobytes(SIZE_T bytes) {
  char text[32];
  std::snprintf(text, sizeof text, "%llu kb", static_cast<unsigned long long>(bytes / 1024));
  return text;
}

void addRow(HWND list, const char* name, const std::string& value) {
  LVITEMA item = {};
  item.mask = LVIF_TEXT;
  item.iItem = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
  item.pszText = const_cast<char*>(name);
  int row = static_cast<int>(SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
  LVITEMA cell = {};
  cell.iSubItem = 1;
  cell.pszText = const_cast<char*>(value.c_str());
  SendMessageA(list, LVM_SETITEMTEXTA, row, reinterpret_cast<LPARAM>(&cell));
}

}  // namespace

void AboutDialog::run(HWND owner) {
  DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_ABOUT), owner, sharedDialogProcedure,
                  reinterpret_cast<LPARAM>(this));
}

void AboutDialog::fillDetails(HWND window) {
  HWND list = GetDlgItem(window, IDC_ABOUT_DETAILS);
  for (int index = 0; index < 2; ++index) {
    LVCOLUMNA column = {};
    column.mask = LVCF_WIDTH;
    column.cx = index == 0 ? 150 : 180;
    SendMessageA(list, LVM_INSERTCOLUMNA, index, reinterpret_cast<LPARAM>(&column));
  }
  char build[64];
  std::snprintf(build, sizeof build, "%s %s", __DATE__, __TIME__);
  MEMORYSTATUS memory = {};
  memory.dwLength = sizeof memory;
  GlobalMemoryStatus(&memory);

  addRow(list, texts_.text(IDS_ABOUT_VERSION), programVersion());
  addRow(list, texts_.text(IDS_ABOUT_BUILD), build);
  addRow(list, texts_.text(IDS_ABOUT_PLATFORM), platformClassName(os_.platformClass));
  addRow(list, "Free Physical RAM", kilobytes(memory.dwAvailPhys));
  addRow(list, "Free Virtual RAM", kilobytes(memory.dwAvailVirtual));
  addRow(list, "Swap File Size", kilobytes(memory.dwTotalPageFile));
}

INT_PTR AboutDialog::handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      SetWindowTextA(window, texts_.text(IDS_ABOUT_CAPTION));
      fillDetails(window);
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
        EndDialog(window, LOWORD(wParam) == IDOK ? 1 : 0);
        return TRUE;
      }
      return FALSE;
    default:
      return FALSE;
  }
}
