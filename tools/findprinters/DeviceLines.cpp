#include "DeviceLines.h"

#include "SelectorRows.h"

namespace {

// Tabs and line ends inside a field would break the line format.
std::string Field(const std::string& text)
{
    std::string field = text;
    for (char& c : field) {
        if (c == '\t' || c == '\n' || c == '\r') {
            c = ' ';
        }
    }
    return field;
}

}  // namespace

void DeviceLinePrinter::AddDeviceRow(const std::string& netbiosName, const std::string& addressText,
                                     const std::string& dnsName, const std::string& modelText)
{
    out_ << Field(UnitNameFor(dnsName, netbiosName, addressText)) << '\t' << Field(addressText) << '\t'
         << Field(dnsName) << '\t' << Field(netbiosName) << '\t' << Field(modelText) << '\n';
    out_.flush();
    ++count_;
}
