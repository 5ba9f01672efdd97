#include "SpoolerPrinterFacts.h"

#include "TextCompare.h"

namespace {

std::string_view WithoutLeadingBackslashes(std::string_view name)
{
    while (!name.empty() && name.front() == '\\')
        name.remove_prefix(1);
    return name;
}

bool IsLocalServer(const std::string& server, const std::string& computerName)
{
    return server.empty() || EqualsIgnoringCase(server, computerName) ||
           EqualsIgnoringCase(WithoutLeadingBackslashes(server), WithoutLeadingBackslashes(computerName));
}

}  // namespace

int PrinterEnumerationLevel(int platformClass)
{
    switch (platformClass) {
    case 1:
        return 2;
    case 2:
        return 5;
    default:
        return 4;
    }
}

std::string DefaultPrinterFromDeviceEntry(const std::string& deviceEntry)
{
    return deviceEntry.substr(0, deviceEntry.find(','));
}

InstalledPrinter MakeInstalledPrinter(const SpoolerPrinterFacts& facts, const std::string& defaultPrinterName,
                                      const std::string& computerName, int platformClass)
{
    InstalledPrinter printer;
    printer.name = facts.name;
    printer.driver = facts.driver;
    printer.baseName = facts.maskedBaseName;
    printer.ours = facts.hasOwnerData || platformClass == 1;
    printer.isDefault = facts.defaultAttribute || (!facts.name.empty() && facts.name == defaultPrinterName);
    if (platformClass != 1 && !IsLocalServer(facts.server, computerName))
        printer.server = facts.server;
    printer.DeriveForeign();
    return printer;
}
