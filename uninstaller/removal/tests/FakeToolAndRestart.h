#pragma once
// Recording stand-ins for the masking tool's process and the spooler and
// restart calls of phases 1, 8, 16 and 17.

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "MaskingToolStep.h"
#include "RestartHandling.h"

namespace fake {

class Restart : public RestartPlatform {
 public:
  bool answerYes = false;
  bool restartWorks = true;
  int stopPendingQueries = 0;
  std::vector<std::string> calls;

  bool StopSpoolerService() override { return call("stop"); }
  bool StartSpoolerService() override { return call("start"); }
  bool SpoolerStopPending() override { return stopPendingQueries > 0 && stopPendingQueries--; }
  bool CloseConsumerSpooler() override { return call("close consumer spooler"); }
  bool RestartDirectly() override { return call("restart") && restartWorks; }
  bool PrivilegedRestart() override { return call("privileged restart") && restartWorks; }
  void ShowFinished() override { call("199"); }
  bool AskRestart() override { return call("200") && answerYes; }
  void ShowRestartFailed() override { call("201"); }

 private:
  bool call(const char* what) {
    calls.emplace_back(what);
    return true;
  }
};

class MaskingTool : public MaskingToolPlatform {
 public:
  std::vector<std::string> directories;
  std::set<std::string> files;
  bool starts = true;
  int activeChecks = 0;  // the exit code reads still-active this many times
  bool dialog = false;
  std::vector<std::string> started;
  std::vector<Process> released;
  // Called as the tool starts, to see what the phases did before it.
  std::function<void()> onStart;

  std::vector<std::string> OemPathDirectories() override { return directories; }
  bool FileExists(const std::string& path) override { return files.count(path) != 0; }
  Process StartProcess(const std::string& path, const std::string& commandLine) override {
    started.push_back(path + commandLine);
    if (onStart) onStart();
    return starts ? 42 : 0;
  }
  bool ProcessStillActive(Process process) override {
    EXPECT_EQ(process, 42u);
    return activeChecks-- > 0;
  }
  bool MaskingToolDialogExists() override { return dialog; }
  void ReleaseProcess(Process process) override { released.push_back(process); }
};

}  // namespace fake
