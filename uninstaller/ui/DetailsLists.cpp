#include "DetailsLists.h"

const std::vector<DetailsChoice>& DetailsChoices()
{
    static const std::vector<DetailsChoice> choices = {
        {1097, ItemList::DeleteIni, {"file", "section", "entry"}},
        {1098, ItemList::DeleteLoadRun, {"Display", "File Name"}},
        {1099, ItemList::Drivers, {"driver"}},
        {1100, ItemList::Files, {"file"}},
        {1101, ItemList::Hooks, {"file", "export"}},
        {1102, ItemList::Monitors, {"Monitor Name"}},
        {1103, ItemList::RegistryKeys, {"Base Key", "Sub Key", "Value Name", "Deltree"}},
        {1104, ItemList::PrintProcessors, {"Print Processor Name"}},
        {1105, ItemList::Services, {"NT Service Name"}},
        {1106, ItemList::Shortcuts, {"Program Group", "Shortcut Description", "Special Location"}},
        {1107, ItemList::UnSelfRegister, {"FileName", "Function Export"}},
        {1109, std::nullopt, {"Dir Variable", "Dir Location"}},
    };
    return choices;
}

const DetailsChoice* FindDetailsChoice(int control)
{
    for (const DetailsChoice& choice : DetailsChoices())
        if (choice.control == control)
            return &choice;
    return nullptr;
}

std::vector<DetailsRow> DetailsRowsOf(const std::vector<std::string>& lines, std::size_t columnCount)
{
    std::vector<DetailsRow> rows;
    for (const std::string& line : lines) {
        DetailsRow row;
        std::size_t start = 0;
        while (row.size() + 1 < columnCount) {
            std::size_t comma = line.find(',', start);
            if (comma == std::string::npos)
                break;
            row.push_back(line.substr(start, comma - start));
            start = comma + 1;
        }
        row.push_back(line.substr(start));
        rows.push_back(std::move(row));
    }
    if (rows.empty())
        rows.push_back({"(empty)"});
    return rows;
}

std::vector<DetailsRow> DirectoryVariableRows(const std::function<std::string(int code)>& directoryOf)
{
    static const std::pair<const char*, int> variables[] = {
        {"WINDIR", 3},           {"SYSDIR", 4},          {"COLORDIR", 33},           {"PRINTPROCDIR", 28},
        {"PRINTPROCDIR_W40", 29}, {"PRINTDRIVERDIR", 26}, {"PRINTDRIVERDIR_W40", 27},
    };
    std::vector<DetailsRow> rows;
    for (const auto& [name, code] : variables)
        rows.push_back({name, directoryOf(code)});
    return rows;
}

const InstalledPrinter* SingleSelectedPrinter(const std::vector<InstalledPrinter>& printers)
{
    const InstalledPrinter* single = nullptr;
    for (const InstalledPrinter& printer : printers) {
        if (!printer.Offered() || printer.keep)
            continue;
        if (single)
            return nullptr;
        single = &printer;
    }
    return single;
}

DetailsProfile ProfileOfPrinter(const UninstallDatabase& database, const InstalledPrinter& printer)
{
    DetailsProfile result;
    result.found = database.FindProfileByDriver(printer.driver, result.profile) ||
                   database.FindProfileByManufacturer(printer.driver, result.profile);
    return result;
}

std::string DetailsTitle(bool singleProfileMode, const DetailsProfile& profile)
{
    if (!singleProfileMode)
        return "Extra Info - Multiple Printers";
    if (!profile.found)
        return "Extra Info - EMPTY AND UNKNOWN SETTINGS!!!";
    return (profile.profile.manufacturer ? "Extra Info - Mfg: " : "Extra Info - Printer: ") +
           profile.profile.displayName;
}
