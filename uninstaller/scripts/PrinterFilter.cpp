#include "PrinterFilter.h"

#include "TextCompare.h"

bool DriverMatchesFilter(const PrinterFilter& filter, const std::string& driver)
{
    if (!filter.manufacturerSwitch && !filter.driverSwitch)
        return true;
    for (const std::string& prefix : filter.manufacturerPrefixes) {
        if (!prefix.empty() && StartsWithIgnoringCase(driver, prefix))
            return true;
    }
    for (const std::string& name : filter.driverNames) {
        if (!name.empty() && EqualsIgnoringCase(driver, name))
            return true;
    }
    return false;
}

void ApplyPrinterFilter(const PrinterFilter& filter, InstalledPrinter& printer)
{
    bool offered = filter.includeMaskingTool ? !printer.baseName.empty() : DriverMatchesFilter(filter, printer.driver);
    if (!offered) {
        printer.eligible = false;
        printer.keep = true;
    }
}
