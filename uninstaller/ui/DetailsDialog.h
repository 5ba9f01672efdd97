#pragma once

#include <windows.h>

#include "DetailsLists.h"
#include "DialogProcedure.h"
#include "OsInfo.h"
#include "UninstallDatabase.h"

// "Extra Info" (resource 116): the removal plan list by list, or the one
// selected printer's profile, for support engineers.
class DetailsDialog : public DialogObject {
 public:
  DetailsDialog(UninstallDatabase& database, const OsInfo& os) : database_(database), os_(os) {}

  INT_PTR run(HWND owner);

  INT_PTR handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void initialise();
  // Rebuilds the plan and shows the list of the checked radio button.
  void showChoice(int control);
  void showRows(const std::vector<std::string>& columns, const std::vector<DetailsRow>& rows);

  UninstallDatabase& database_;
  OsInfo os_;
  HWND window_ = nullptr;
  int choice_ = 1097;
};
