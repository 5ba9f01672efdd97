#pragma once

#include <functional>
#include <string>
#include <vector>

#include "OsInfo.h"
#include "RemovalPlatform.h"
#include "UninstallDatabase.h"

// Everything a removal phase works with: the database (printers, plan,
// restart-needed), the platform, the running Windows and the directories.
// Directories end with a backslash; a directory that cannot be resolved is
// empty, and nothing is ever deleted relative to an empty directory.
struct RemovalContext {
  UninstallDatabase& database;
  RemovalPlatform& platform;
  OsInfo os;
  std::string windowsDirectory;        // code 3
  std::string programDirectory;        // code 2
  std::string printerDriverDirectory;  // code 26, remembered when the phases start
  // Resolves a directory code of the frame's table.
  std::function<std::string(int code)> directory;
  // Message text by string-table id.
  std::function<std::string(unsigned id)> text;
  std::function<void(const std::string&)> trace;
  // The folders a 32-bit program on 64-bit Windows reaches by other names:
  // the other Program Files and the other system folder.
  std::vector<std::string> otherFolderViews;

  void note(const std::string& line) const {
    if (trace) trace("uninstaller: " + line);
  }
};
