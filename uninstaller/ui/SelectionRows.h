#pragma once
// What the selection panel's list shows for each offered printer.

#include "InstalledPrinter.h"
#include "StringTable.h"

#include <array>
#include <string>

// Index into the printer icons: +1 default, +2 network, +4 masked.
int PrinterImageIndex(const InstalledPrinter& printer);

// Name, driver, server or "Local", default "Oui"/"Non", ours "Oui"/"Non",
// base name or "(n/a)".
std::array<std::string, 6> PrinterColumnTexts(const InstalledPrinter& printer, StringTable& texts);
