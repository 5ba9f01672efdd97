#pragma once
// The checks the Port Name Editor makes before it lets OK through. Each
// refusal is the id of the string-table message shown in the dialog.

#include <string>
#include <vector>

enum class PortNameRefusal : unsigned {
    None = 0,
    PortNameInUse = 2001,
    PrinterNameInUse = 2002,
    NameMissing = 2004,
    LeadingSpace = 2005,
    Backslash = 2006,
    Slash = 2007,
};

// Port name first, then printer name; the first failing check wins. Names in
// use compare exactly (byte for byte, case-sensitive).
PortNameRefusal CheckPortNames(const std::string& portName, const std::string& printerName,
                               const std::vector<std::string>& portNamesInUse,
                               const std::vector<std::string>& printerNamesInUse);
