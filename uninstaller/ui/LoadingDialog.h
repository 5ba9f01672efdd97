#pragma once

#include <windows.h>

#include "CommandLineSwitches.h"
#include "DialogProcedure.h"
#include "LoadingSequence.h"
#include "OsInfo.h"
#include "StringTable.h"
#include "UninstallDatabase.h"
#include "Win32PrinterList.h"
#include "Win32ScriptStorage.h"

// The system side of the loading steps: the administrator check, closing
// the package's other programs and the spooler service.
class Win32LoadingPlatform : public LoadingPlatform {
 public:
  bool IsAdministrator() override;
  void ClosePackagePrograms() override;
  bool StopSpooler() override;
  bool StartSpooler() override;
};

// The loading dialog (resource 115): caption, text, progress bar; timer
// 1126 drives LoadingSequence. run() gives 1 when the uninstall may go on.
class LoadingDialog : public DialogObject, private LoadingView {
 public:
  LoadingDialog(UninstallDatabase& database, const CommandLineSwitches& switches, const OsInfo& os,
                StringTable& texts);

  INT_PTR run(HWND owner);
  int offeredPrinters() const { return sequence_.OfferedPrinters(); }

  INT_PTR handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void initialise();

  void ShowBarPosition(int position) override;
  void ShowError(unsigned textId) override;
  void ShowNoScriptsWarning() override;
  void ShowPrinterListFailure(const std::string& details) override;
  bool AskInterrupt() override;
  void StartTimer(unsigned periodMs) override;
  void StopTimer() override;
  void End(int result) override;

  StringTable& texts_;
  Win32DirectoryLister lister_;
  Win32ScriptStorage storage_;
  Win32PrinterSpooler spooler_;
  Win32LoadingPlatform platform_;
  LoadingSequence sequence_;
  HWND window_ = nullptr;
  bool started_ = false;
};
