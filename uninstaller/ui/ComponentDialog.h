#pragma once

#include <windows.h>

#include "DialogProcedure.h"
#include "MainWindowFlow.h"
#include "StringTable.h"

// "IDD_COMPONENT": printer and scanner drivers, printer only or scanner
// only. run() gives 1 for OK (choice() says which) and 2 for Cancel.
class ComponentDialog : public DialogObject {
 public:
  explicit ComponentDialog(StringTable& texts) : texts_(texts) {}

  INT_PTR run(HWND owner);
  ComponentChoice choice() const { return choice_; }

  INT_PTR handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void readChoice(HWND window);

  StringTable& texts_;
  ComponentChoice choice_ = ComponentChoice::Both;
};
