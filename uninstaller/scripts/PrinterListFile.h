#pragma once
// The installed printers as unzplan takes them: one printer per line, fields
// separated by tabs: name, driver, base name, server, flags. Flags is a
// string of letters: d default, o ours, k keep. Missing trailing fields are
// empty; empty lines are skipped. The uninstaller writes its own printers
// to the trace in the same form, so that a run can be replayed with unzplan.

#include "InstalledPrinter.h"

#include <string>
#include <string_view>
#include <vector>

struct PrinterListResult {
    bool ok = true;
    std::string error;  // which line is wrong and why
    std::vector<InstalledPrinter> printers;
};

PrinterListResult ParsePrinterList(std::string_view text);

// One printer as a line of that list, without the line end.
std::string FormatPrinterListLine(const InstalledPrinter& printer);
