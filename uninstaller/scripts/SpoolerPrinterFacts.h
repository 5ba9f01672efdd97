#pragma once
// Turning what the spooler says about a printer into an InstalledPrinter.
// The Win32 side only gathers the facts; the decisions live here.

#include "InstalledPrinter.h"

#include <string>

// What the spooler answers for one enumerated printer.
struct SpoolerPrinterFacts {
    std::string name;             // level-2 printer name
    std::string driver;           // level-2 driver name
    std::string server;           // level-2 server name
    bool hasOwnerData = false;    // printer data "NorvaneDriver_Z" could be read
    std::string maskedBaseName;   // printer data "VenPrinter", empty when absent
    bool defaultAttribute = false;  // level-2 attribute bit 4
};

// The enumeration level for the platform class: 4 on the NT family, 5 on
// consumer Windows, 2 on the oldest subset (which has neither).
int PrinterEnumerationLevel(int platformClass);

// The default printer's name from the user profile's "device" entry of
// section "windows" ("name,driver,port"): the part before the first comma.
std::string DefaultPrinterFromDeviceEntry(const std::string& deviceEntry);

// ours, default, server and foreign as the loading sequence sets them. The
// server stays empty on platform class 1 and for the local computer, which
// the spooler may name with or without its leading backslashes.
InstalledPrinter MakeInstalledPrinter(const SpoolerPrinterFacts& facts, const std::string& defaultPrinterName,
                                      const std::string& computerName, int platformClass);
