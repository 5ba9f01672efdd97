#include "PortNameChecks.h"

#include <algorithm>

namespace {

// The checks shared by both names; there are no separate texts for the printer name.
PortNameRefusal CheckName(const std::string& name) {
    if (name.empty()) return PortNameRefusal::NameMissing;
    if (name.front() == ' ') return PortNameRefusal::LeadingSpace;
    if (name.find('\\') != std::string::npos) return PortNameRefusal::Backslash;
    if (name.find('/') != std::string::npos) return PortNameRefusal::Slash;
    return PortNameRefusal::None;
}

bool Contains(const std::vector<std::string>& names, const std::string& name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

}  // namespace

PortNameRefusal CheckPortNames(const std::string& portName, const std::string& printerName,
                               const std::vector<std::string>& portNamesInUse,
                               const std::vector<std::string>& printerNamesInUse) {
    if (PortNameRefusal refusal = CheckName(portName); refusal != PortNameRefusal::None) return refusal;
    if (Contains(portNamesInUse, portName)) return PortNameRefusal::PortNameInUse;
    if (PortNameRefusal refusal = CheckName(printerName); refusal != PortNameRefusal::None) return refusal;
    if (Contains(printerNamesInUse, printerName)) return PortNameRefusal::PrinterNameInUse;
    return PortNameRefusal::None;
}
