#pragma once

#include <windows.h>
#include <commctrl.h>

#include "DialogProcedure.h"
#include "RemovalPhaseMachine.h"
#include "StringTable.h"

// The progress panel "IDD_REMOVE": nine lines with an icon each, the
// current one bold, advanced by the removal phases on timer 1130.
class RemovalPanel : public DialogObject, private RemovalPanelView {
 public:
  RemovalPanel(StringTable& texts, RemovalSteps& steps);
  ~RemovalPanel() override;

  HWND create(HWND mainWindow, const RECT& area);
  HWND window() const { return window_; }

  void startPhases();
  bool phasesRunning() const { return machine_.running(); }
  bool holdsSpoolerStopped() const { return machine_.holdsSpoolerStopped(); }

  INT_PTR handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void initialise();
  void drawIcon(const DRAWITEMSTRUCT& item);

  void showBusyCursor() override;
  void paintLines(const RemovalLinesSnapshot& lines) override;
  void bringToFront() override;
  void stopPhaseTimer() override;
  void restoreCursor() override;
  void announceFinished() override;

  StringTable& texts_;
  RemovalPhaseMachine machine_;
  HWND window_ = nullptr;
  HWND mainWindow_ = nullptr;
  HFONT normalFont_ = nullptr;
  HFONT boldFont_ = nullptr;
  HIMAGELIST lineIcons_ = nullptr;
  RemovalLinesSnapshot shown_{};
  HCURSOR savedCursor_ = nullptr;
  bool cursorSaved_ = false;
};
