#pragma once

#include <windows.h>

#include "CommandLineSwitches.h"
#include "DialogProcedure.h"
#include "MainWindowFlow.h"
#include "OsInfo.h"
#include "RemovalPanel.h"
#include "SelectionPanel.h"
#include "StringSourceWin32.h"
#include "StringTable.h"
#include "SystemRemovalSteps.h"
#include "UninstallDatabase.h"
#include "Win32MaskingToolPlatform.h"
#include "Win32RemovalPlatform.h"
#include "Win32RestartPlatform.h"

// The main window "IDD_MAIN_NOBMP": the selection and removal panels over
// the placeholder frame, the Uninstall and Exit buttons.
class MainWindow : public DialogObject {
 public:
  explicit MainWindow(HINSTANCE instance);

  // Runs the modal main dialog; its result is the exit status.
  int run();

  INT_PTR handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void initialise();
  void prepareSystemMenu();
  void createPanels();
  void showPanel(Panel panel);
  void offerSelection();
  void startRemoval();
  void onRemovalFinished();
  void onCommand(int command);
  void enableButton(int id, bool enabled);
  void end(int result);

  StringSourceWin32 textSource_;
  StringTable texts_;
  CommandLineSwitches switches_;
  OsInfo os_;
  UninstallDatabase database_;
  Win32RemovalPlatform removalPlatform_;
  Win32MaskingToolPlatform maskingToolPlatform_;
  Win32RestartPlatform restartPlatform_;
  SystemRemovalSteps removalSteps_;
  SelectionPanel selectionPanel_;
  RemovalPanel removalPanel_;
  int offeredPrinters_ = 0;
  HWND window_ = nullptr;
  bool scannerUninstallPending_ = false;
  // From Uninstall until message 1129: the keys that end the dialog wait.
  bool removing_ = false;
};
