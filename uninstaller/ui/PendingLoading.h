#pragma once

#include <windows.h>

#include "CommandLineSwitches.h"
#include "LoadingResult.h"
#include "OsInfo.h"
#include "StringTable.h"
#include "UninstallDatabase.h"

// Stands in for the loading dialog until it exists. It does the dialog's
// steps that decide what the uninstall is about: finds and reads the
// uninstall scripts into database and lists the installed printers, filtered
// by the switches. The rights check, the spooler restart, closing the
// package's other programs and the dialog with its progress are still to
// come, and the trace says so.
LoadingResult runPendingLoading(UninstallDatabase& database, const CommandLineSwitches& switches, const OsInfo& os,
                                StringTable& texts, HWND owner);
