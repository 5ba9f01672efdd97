#pragma once
// The part of the loading sequence that decides what the uninstall is about:
// finding and reading the scripts, the selected set and which printers the
// switches leave on offer. The uninstaller and unzplan both go through here,
// so that the tool shows the plan the program would build.

#include "CommandLineSwitches.h"
#include "InstalledPrinter.h"
#include "PrinterFilter.h"
#include "ScriptStorage.h"
#include "UninstallDatabase.h"

#include <functional>
#include <string>
#include <vector>

// Called once per script read, with the reader's verdict.
using ScriptReadObserver = std::function<void(const std::string& path, ScriptReadResult result)>;

// Discovers the scripts in directories and reads each one into database in
// discovery order; a rejected script adds nothing and the others are still
// read. Returns the paths found.
std::vector<std::string> ReadDiscoveredScripts(UninstallDatabase& database, const std::vector<std::string>& directories,
                                               DirectoryLister& lister, ScriptStorage& storage,
                                               const ScriptReadObserver& observer);

// MFG, PRN and UNVEN as the printer filter takes them.
PrinterFilter PrinterFilterFromSwitches(const CommandLineSwitches& switches);

// Once every script is read: collects the selected set, includes or takes
// away the masking tool's profile, and stores the installed printers, each
// filtered by the switches. Returns how many printers are offered.
int ApplySelectionRules(UninstallDatabase& database, const PrinterFilter& filter,
                        std::vector<InstalledPrinter> printers);
