#pragma once

#include <windows.h>

#include "DialogProcedure.h"
#include "StringTable.h"
#include "UninstallDatabase.h"

// The printer list "IDD_SELECT", laid over the main window's placeholder.
class SelectionPanel : public DialogObject {
 public:
  SelectionPanel(StringTable& texts, UninstallDatabase& database) : texts_(texts), database_(database) {}

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

  StringTable& texts_;
  UninstallDatabase& database_;
  HWND window_ = nullptr;
  HWND mainWindow_ = nullptr;
};
