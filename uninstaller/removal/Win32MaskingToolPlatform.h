#pragma once

#include "MaskingToolStep.h"

// The masking tool found through the package's registry key (read through
// XSPOOL_Z), started as a process and watched.
class Win32MaskingToolPlatform : public MaskingToolPlatform {
 public:
  std::vector<std::string> OemPathDirectories() override;
  bool FileExists(const std::string& path) override;
  Process StartProcess(const std::string& path, const std::string& commandLine) override;
  bool ProcessStillActive(Process process) override;
  bool MaskingToolDialogExists() override;
  void ReleaseProcess(Process process) override;
};
