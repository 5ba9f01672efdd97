#pragma once

#include <windows.h>

#include "RestartHandling.h"
#include "StringTable.h"

// The spooler service, the consumer spooler's window and exit-Windows.
// Service calls ask for all access, as the uninstaller runs as an
// administrator.
bool stopSpoolerService();
// Started, or running already (error 1056); a stop still in progress is
// waited for first, up to ten seconds.
bool startSpoolerService();
bool spoolerStopPending();

class Win32RestartPlatform : public RestartPlatform {
 public:
  Win32RestartPlatform(StringTable& texts, HWND owner = nullptr) : texts_(texts), owner_(owner) {}
  void setOwner(HWND owner) { owner_ = owner; }

  bool StopSpoolerService() override { return stopSpoolerService(); }
  bool StartSpoolerService() override { return startSpoolerService(); }
  bool SpoolerStopPending() override { return spoolerStopPending(); }
  bool CloseConsumerSpooler() override;
  bool RestartDirectly() override;
  bool PrivilegedRestart() override;
  void ShowFinished() override;
  bool AskRestart() override;
  void ShowRestartFailed() override;

 private:
  StringTable& texts_;
  HWND owner_;
};
