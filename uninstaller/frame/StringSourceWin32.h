#pragma once

#include <windows.h>

#include "StringTable.h"

// Texts from the program's string resources and from INI files.
class StringSourceWin32 : public StringSource {
 public:
  explicit StringSourceWin32(HINSTANCE instance) : instance_(instance) {}

  std::string loadResourceString(unsigned id) override;
  std::string readIniValue(const std::string& file, const std::string& section, const std::string& key) override;
  std::string searchPath(const std::string& file) override;
  std::string programIniPath() override;

 private:
  HINSTANCE instance_;
};
