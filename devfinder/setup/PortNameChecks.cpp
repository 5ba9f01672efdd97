#include "PortNameChecks.h"

#include <algorithm>

namespace {

// True when the name holds `wanted` as a character of its own, not as the
// second byte of a double-byte character.
bool HoldsCharacter(const std::string& name, char wanted, const AnsiText& text) {
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (text.IsLeadByte(name[i])) {
            ++i;
        } else if (name[i] == wanted) {
            return true;
        }
    }
    return false;
}

// The checks shared by both names; there are no separate texts for the printer name.
PortNameRefusal CheckName(const std::string& name, const AnsiText& text) {
    if (name.empty()) return PortNameRefusal::NameMissing;
    if (name.front() == ' ') return PortNameRefusal::LeadingSpace;
    if (HoldsCharacter(name, '\\', text)) return PortNameRefusal::Backslash;
    if (HoldsCharacter(name, '/', text)) return PortNameRefusal::Slash;
    return PortNameRefusal::None;
}

bool Contains(const std::vector<std::string>& names, const std::string& name, const AnsiText& text) {
    const std::string wanted = text.UpperCase(name);
    return std::any_of(names.begin(), names.end(),
                       [&](const std::string& used) { return text.UpperCase(used) == wanted; });
}

}  // namespace

PortNameRefusal CheckPortNames(const std::string& portName, const std::string& printerName, const NamesInUse& inUse,
                               const AnsiText& text) {
    if (PortNameRefusal refusal = CheckName(portName, text); refusal != PortNameRefusal::None) return refusal;
    if (HoldsCharacter(portName, ',', text)) return PortNameRefusal::Comma;
    if (text.Widen(portName).size() > kMaxPortNameLength) return PortNameRefusal::PortNameTooLong;
    if (Contains(inUse.ports, portName, text)) return PortNameRefusal::PortNameInUse;
    if (PortNameRefusal refusal = CheckName(printerName, text); refusal != PortNameRefusal::None) return refusal;
    if (Contains(inUse.printers, printerName, text)) return PortNameRefusal::PrinterNameInUse;
    return PortNameRefusal::None;
}
