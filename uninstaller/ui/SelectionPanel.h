#pragma once

#include <windows.h>
#include <commctrl.h>

#include "DialogProcedure.h"
#include "OsInfo.h"
#include "StringTable.h"
#include "UninstallDatabase.h"

// The printer list "IDD_SELECT", laid over the main window's placeholder,
// with its icons and its context menu (resource 117).
class SelectionPanel : public DialogObject {
 public:
  SelectionPanel(StringTable& texts, UninstallDatabase& database, const OsInfo& os)
      : texts_(texts), database_(database), os_(os) {}
  ~SelectionPanel() override;

  HWND create(HWND mainWindow, const RECT& area);
  HWND window() const { return window_; }

  // Shows the offered printers; returns how many.
  int fillList();
  // Marks unselected printers to keep; returns how many are selected.
  int recordSelection();

  INT_PTR handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void initialise();
  void addPrinter(int row, const InstalledPrinter& printer);
  void showContextMenu(POINT screen);
  void onMenuCommand(int command);
  HWND list() const;

  StringTable& texts_;
  UninstallDatabase& database_;
  OsInfo os_;
  HWND window_ = nullptr;
  HWND mainWindow_ = nullptr;
  HMENU menu_ = nullptr;
};

// The default value of HKEY_CURRENT_USER "SOFTWARE\ARVEL NORVANE\XUINST_Z"
// is set and not empty: the context menu offers "Other Details...".
bool otherDetailsEnabled();
