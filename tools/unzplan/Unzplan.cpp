#include "Unzplan.h"

#include "CommandLineSwitches.h"
#include "PlanReport.h"
#include "PrinterListFile.h"
#include "ScriptLoading.h"
#include "StreamScriptStorage.h"
#include "UninstallDatabase.h"

#include <fstream>

namespace {

constexpr int kFileError = 1;
constexpr int kUsageError = 2;

const char kUsage[] =
    "usage: unzplan [program switches] --printers FILE SCRIPT...\n"
    "  program switches  as the uninstaller takes them, e.g. /PRN:\"Drv A\",\"Drv B\" /MFG:ARVEL /UNVEN\n"
    "  FILE              installed printers, one per line: name<TAB>driver<TAB>base name<TAB>server<TAB>flags\n"
    "                    (flags: d default, o ours, k keep)\n"
    "  SCRIPT...         uninstall scripts, read in this order\n";

struct Arguments {
    CommandLineSwitches switches;
    std::string printersPath;
    std::vector<std::string> scripts;
};

// Returns an empty text when the arguments are sound, else what is wrong.
std::string ParseArguments(const std::vector<std::string>& arguments, Arguments& parsed)
{
    size_t index = 0;
    for (; index < arguments.size(); ++index) {
        const std::string& argument = arguments[index];
        if (argument == "--printers")
            break;
        if (argument.empty() || (argument[0] != '/' && argument[0] != '-'))
            return "unexpected argument before --printers: " + argument;
        parsed.switches.AddToken(argument);
    }
    if (index == arguments.size())
        return "--printers FILE is missing";
    if (index + 1 == arguments.size())
        return "--printers needs a file name";
    parsed.printersPath = arguments[index + 1];
    parsed.scripts.assign(arguments.begin() + static_cast<std::ptrdiff_t>(index) + 2, arguments.end());
    if (parsed.scripts.empty())
        return "no script files given";
    return {};
}

}  // namespace

int RunUnzplan(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err)
{
    if (arguments.size() == 1 && (arguments[0] == "--help" || arguments[0] == "-h")) {
        out << kUsage;
        return 0;
    }
    Arguments parsed;
    std::string problem = ParseArguments(arguments, parsed);
    if (!problem.empty()) {
        err << "unzplan: " << problem << "\n" << kUsage;
        return kUsageError;
    }

    StreamScriptStorage storage;
    std::string printerText;
    if (!storage.ReadWholeFile(parsed.printersPath, printerText)) {
        err << "unzplan: cannot read printer list " << parsed.printersPath << "\n";
        return kFileError;
    }
    PrinterListResult printers = ParsePrinterList(printerText);
    if (!printers.ok) {
        err << "unzplan: " << parsed.printersPath << ": " << printers.error << "\n";
        return kFileError;
    }

    UninstallDatabase database;
    for (const std::string& script : parsed.scripts) {
        if (!std::ifstream(script, std::ios::binary)) {
            err << "unzplan: cannot read script " << script << "\n";
            return kFileError;
        }
        ScriptReadResult result = database.ReadScript(script, storage);
        if (result != ScriptReadResult::Read)
            err << "unzplan: script " << script << " skipped: " << ScriptRejectionReason(result) << "\n";
    }

    ApplySelectionRules(database, PrinterFilterFromSwitches(parsed.switches), std::move(printers.printers));
    database.BuildRemovalPlan();
    WritePlanReport(database, out);
    return out.good() ? 0 : kFileError;
}
