#pragma once
// Which installed printers the switches MFG, PRN and UNVEN leave on offer.

#include "InstalledPrinter.h"

#include <string>
#include <vector>

struct PrinterFilter {
    bool manufacturerSwitch = false;                // MFG given
    std::vector<std::string> manufacturerPrefixes;  // its values, quotes stripped
    bool driverSwitch = false;                      // PRN given
    std::vector<std::string> driverNames;           // its values, quotes stripped
    bool includeMaskingTool = false;                // UNVEN given
};

// Without MFG and PRN every driver matches; otherwise a driver matches when
// it begins with an MFG prefix or equals a PRN name (case-insensitively).
// An empty value matches nothing.
bool DriverMatchesFilter(const PrinterFilter& filter, const std::string& driver);

// Clears eligible and sets keep on a printer that is not to be offered:
// without UNVEN one whose driver does not match, with UNVEN every printer
// that is not a masked copy.
void ApplyPrinterFilter(const PrinterFilter& filter, InstalledPrinter& printer);
