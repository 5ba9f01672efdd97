#include "ScriptLoading.h"

#include "ScriptDiscovery.h"

std::vector<std::string> ReadDiscoveredScripts(UninstallDatabase& database, const std::vector<std::string>& directories,
                                               DirectoryLister& lister, ScriptStorage& storage,
                                               const ScriptReadObserver& observer)
{
    std::vector<std::string> paths = DiscoverScripts(directories, lister);
    for (const std::string& path : paths) {
        ScriptReadResult result = database.ReadScript(path, storage);
        if (observer)
            observer(path, result);
    }
    return paths;
}

PrinterFilter PrinterFilterFromSwitches(const CommandLineSwitches& switches)
{
    PrinterFilter filter;
    filter.manufacturerSwitch = switches.Has("MFG");
    filter.manufacturerPrefixes = switches.UnquotedValues("MFG");
    filter.driverSwitch = switches.Has("PRN");
    filter.driverNames = switches.UnquotedValues("PRN");
    filter.includeMaskingTool = switches.Has("UNVEN");
    return filter;
}

int ApplySelectionRules(UninstallDatabase& database, const PrinterFilter& filter,
                        std::vector<InstalledPrinter> printers)
{
    database.CollectSelectedSet();
    database.ApplyMaskingToolChoice(filter.includeMaskingTool);
    database.Printers() = std::move(printers);
    int offered = 0;
    for (InstalledPrinter& printer : database.Printers()) {
        ApplyPrinterFilter(filter, printer);
        if (printer.Offered())
            ++offered;
    }
    return offered;
}
