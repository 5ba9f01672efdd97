#pragma once
// The installed printers as the spooler lists them, reached through
// XSPOOL_Z. Windows only; the decisions are in SpoolerPrinterFacts.

#include "InstalledPrinter.h"

#include <string>
#include <vector>

enum class PrinterListStatus {
    Listed,               // printers holds every printer that could be opened
    SpoolerNotAnswering,  // the spooler's remote procedure server is unavailable
    Failed,               // failure names the call that failed; no printers
};

struct SpoolerPrinterList {
    PrinterListStatus status = PrinterListStatus::Listed;
    std::string failure;  // "EnumPrinters: failed to enum printers (error 5)"
    std::vector<InstalledPrinter> printers;
};

// Local printers and printer connections in enumeration order.
SpoolerPrinterList ListInstalledPrinters(int platformClass);
