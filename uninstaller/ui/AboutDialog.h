#pragma once

#include <windows.h>

#include "DialogProcedure.h"
#include "OsInfo.h"
#include "StringTable.h"

// The About box (resource 114): version, build and platform, and the
// memory figures support engineers ask for.
class AboutDialog : public DialogObject {
 public:
  AboutDialog(StringTable& texts, const OsInfo& os) : texts_(texts), os_(os) {}

  void run(HWND owner);

  INT_PTR handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void fillDetails(HWND window);

  StringTable& texts_;
  OsInfo os_;
};
