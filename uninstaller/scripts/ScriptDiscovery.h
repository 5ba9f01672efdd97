#pragma once
// Finding the uninstall scripts: the file "Xunz___Z.unm" in the printer-driver
// directory, its subdirectory "3", the program's directory and the system
// directory.

#include "ScriptStorage.h"

#include <string>
#include <vector>

extern const char kScriptFileName[];  // "Xunz___Z.unm"

// The four directories searched, in order, each ending with a backslash (one
// is added where missing); an unresolved (empty) directory stays empty and is
// not searched.
std::vector<std::string> ScriptSearchDirectories(const std::string& printerDriverDirectory,
                                                 const std::string& programDirectory,
                                                 const std::string& systemDirectory);

// Full paths of every script found, sorted and de-duplicated
// case-insensitively. Entries that are plain directories are skipped.
std::vector<std::string> DiscoverScripts(const std::vector<std::string>& directories, DirectoryLister& lister);
