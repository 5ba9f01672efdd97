// The whole plan computation as the uninstaller and unzplan make it, over
// fuzzed switches, printer list and scripts. The plan names nothing that the
// scripts or the printer list do not name, and computing it twice gives the
// same report, also when the details dialog built it for every printer
// first. The maker's own registry keys are the one thing the plan adds by
// itself, with the last printer.
#include <algorithm>
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "CommandLineSwitches.h"
#include "FuzzCheck.h"
#include "PlanReport.h"
#include "PrinterListFile.h"
#include "ScriptFile.h"
#include "ScriptLoading.h"
#include "UninstallDatabase.h"

namespace {

class MemoryScripts : public ScriptStorage {
public:
    std::map<std::string, std::string> files;
    bool ReadWholeFile(const std::string& path, std::string& contents) override
    {
        const auto found = files.find(path);
        if (found == files.end())
            return false;
        contents = found->second;
        return true;
    }
    std::string ReadProfileString(const std::string& path, const std::string& section, const std::string& key,
                                  size_t maxCharacters) override
    {
        std::string contents;
        if (!ReadWholeFile(path, contents))
            return {};
        const ScriptFile file = ScriptFile::Parse(contents, path);
        const std::string* value = file.FindValue(section, key);
        return value ? value->substr(0, maxCharacters) : std::string();
    }
};

// Lower case without blanks: the plan joins "key = value" lines as "key=value".
std::string comparable(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    text.erase(std::remove_if(text.begin(), text.end(), [](char c) { return c == ' ' || c == '\t'; }), text.end());
    return text;
}

// Input parts are separated by a line holding "%%": the switches, the
// printer list, then each script.
std::vector<std::string> splitParts(const std::string& input)
{
    std::vector<std::string> parts;
    size_t start = 0;
    for (;;) {
        const size_t mark = input.find("\n%%\n", start);
        parts.push_back(input.substr(start, mark == std::string::npos ? std::string::npos : mark - start));
        if (mark == std::string::npos)
            return parts;
        start = mark + 4;
    }
}

// afterEverything: the plan was built with every offered printer selected
// before the selection came back.
std::string planReport(const std::vector<std::string>& parts, MemoryScripts& scripts, bool afterEverything = false)
{
    CommandLineSwitches switches;
    switches.Parse(parts[0]);
    PrinterListResult printers = ParsePrinterList(parts[1]);
    UninstallDatabase database;
    for (size_t i = 2; i < parts.size(); ++i)
        database.ReadScript("script" + std::to_string(i), scripts);
    ApplySelectionRules(database, PrinterFilterFromSwitches(switches), printers.ok ? printers.printers
                                                                                 : std::vector<InstalledPrinter>());
    if (afterEverything) {
        std::vector<InstalledPrinter> chosen = database.Printers();
        for (InstalledPrinter& printer : database.Printers())
            printer.keep = printer.keep && !printer.Offered();
        database.BuildRemovalPlan();
        for (size_t i = 0; i < chosen.size(); ++i)
            database.Printers()[i].keep = chosen[i].keep;
    }
    database.BuildRemovalPlan();
    std::ostringstream out;
    WritePlanReport(database, out);
    return out.str();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string input(reinterpret_cast<const char*>(data), size);
    const std::vector<std::string> parts = splitParts(input);
    if (parts.size() < 3)
        return 0;
    MemoryScripts scripts;
    for (size_t i = 2; i < parts.size(); ++i)
        scripts.files["script" + std::to_string(i)] = parts[i];

    const std::string report = planReport(parts, scripts);
    FUZZ_CHECK(report == planReport(parts, scripts), "the same inputs gave two different plans");
    FUZZ_CHECK(report == planReport(parts, scripts, true), "a plan built for another selection changed this one");

    const std::string everything = comparable(input);
    std::istringstream lines(report);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("plan.", 0) != 0)
            continue;
        const std::string item = line.substr(line.find('\t') + 1);
        const bool makerKey = item.rfind("HKLM,\"SOFTWARE\\ARVEL NORVANE", 0) == 0;
        FUZZ_CHECK(makerKey || everything.find(comparable(item)) != std::string::npos, "the plan names something no input names");
    }
    return 0;
}
