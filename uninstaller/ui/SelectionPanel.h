#pragma once

#include <windows.h>

#include "DialogProcedure.h"
#include "StringTable.h"

// The printer list "IDD_SELECT", laid over the main window's placeholder.
class SelectionPanel : public DialogObject {
 public:
  explicit SelectionPanel(StringTable& texts) : texts_(texts) {}

  HWND create(HWND mainWindow, const RECT& area);
  HWND window() const { return window_; }

  // Shows the offered printers; returns how many.
  int fillList();
  // Marks unselected printers to keep; returns how many are selected.
  int recordSelection();

  INT_PTR handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void initialise();

  StringTable& texts_;
  HWND window_ = nullptr;
  HWND mainWindow_ = nullptr;
};
