#pragma once
// The checks the Port Name Editor makes before it lets OK through. Each
// refusal is the id of the string-table message shown in the dialog.

#include <cstddef>
#include <string>
#include <vector>

#include "AnsiText.h"

enum class PortNameRefusal : unsigned {
    None = 0,
    PortNameInUse = 2001,
    PrinterNameInUse = 2002,
    NameMissing = 2004,
    LeadingSpace = 2005,
    Backslash = 2006,
    Slash = 2007,
    Comma = 2016,
    PortNameTooLong = 2017,
};

// The names a new port and queue may not take: every port the spooler
// knows except an unused raw port that already prints to the device, and
// every queue. The spooler compares names without regard to case.
struct NamesInUse {
    std::vector<std::string> ports;
    std::vector<std::string> printers;
};

// The longest port name the monitor keeps whole, in UTF-16 units.
inline constexpr std::size_t kMaxPortNameLength = 63;

// Port name first, then printer name; the first failing check wins. Both
// are read character by character in the code page of `text`; names in use
// compare without regard to case. A comma would make the spooler read the
// port name as a list of ports.
PortNameRefusal CheckPortNames(const std::string& portName, const std::string& printerName, const NamesInUse& inUse,
                               const AnsiText& text);
