// The live uninstaller and unzplan agree on the removal plan: scripts are put
// where the program looks for them, the program runs its removal, and the
// plan it wrote to its trace must be line for line what unzplan prints for
// the same scripts, in the same order, and the same printers.
#include "LiveWindow.h"
#include "UninstallerTestSupport.h"

#include <windows.h>
#include <winspool.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace {

using namespace uninstaller_test;

constexpr DWORD kWindowTimeoutMs = 30000;
const char kScriptName[] = "Xunz___Z.unm";
const char kTraceFile[] = "uninstaller_plan_trace.txt";

// The driver installer's script, with every kind of section.
const char kDriverScript[] =
    "; Uninstall script of the printer driver installer\r\n"
    "[UnPrinterMfgs]\r\n"
    "\"ARVEL\",MFG,1\r\n"
    "[UnPrinterDrivers]\r\n"
    "\"ARVEL Vivaro 5320MF\",V5320,2\r\n"
    "\"ARVEL Vivaro 5310MF\",V5310,3\r\n"
    " \"Indented Driver\",IND,4\r\n"
    "[Unz_CatchAll]\r\n"
    "\"ARVEL Common\",COMMON,5\r\n"
    "[Unx_Ignore]\r\n"
    "\"Generic Text Only\",IGNORE,6\r\n"
    "[V5320.Files]\r\n"
    "ZV5320.DLL\r\n"
    "ZV5320UI.DLL   = 1   ; the user interface part\r\n"
    "shared.hlp\r\n"
    "[V5320.Monitors]\r\n"
    "Vivaro Language Monitor\r\n"
    "[V5320.RegistryKeys]\r\n"
    "HKLM,\"SOFTWARE\\ARVEL NORVANE\\V5320\",\"\",1\r\n"
    "[V5310.Files]\r\n"
    "ZV5310.DLL\r\n"
    "[V5310.DeleteLoadRun]\r\n"
    "VivaroStatus,ZSTAT.EXE\r\n"
    "[MFG.Services]\r\n"
    "ArvelSpoolHelper\r\n"
    "[MFG.Shortcuts]\r\n"
    "ARVEL NORVANE,Vivaro Status Monitor,17\r\n"
    "[COMMON.Files]\r\n"
    "ZCOMMON.DLL\r\n"
    "[COMMON.DeleteIni]\r\n"
    "WIN.INI,Vivaro,Installed\r\n"
    "[IGNORE.Files]\r\n"
    "shared.hlp\r\n";

// The masking tool's installer: its own profile, and a second profile for a
// driver the other script names too (the script read first keeps it).
const char kMaskingToolScript[] =
    "[UnPrinterDrivers]\n"
    "Veneer,VEN,1\n"
    "\"ARVEL Vivaro 5320MF\",OTHER,2\n"
    "[VEN.Files]\nVENEER32.EXE\nVENHOOK.DLL\n"
    "[VEN.Hooks]\nVENHOOK.DLL,VenUnhook\n"
    "[OTHER.Files]\nother-copy.dll\n";

// Settings without a starter section: rejected, so its NOPICK is not applied.
const char kSettingsOnlyScript[] = "[CommandlineParam]\nNOPICK=1\n";

bool StartsWith(const std::string& text, const std::string& prefix) { return text.compare(0, prefix.size(), prefix) == 0; }

bool IsPlanLine(const std::string& line)
{
    for (const char* prefix : {"selected.", "protected.", "plan.", "flag.", "counter."})
        if (StartsWith(line, prefix))
            return true;
    return false;
}

// The names of the printers the spooler lists and lets us open for use,
// as the uninstaller enumerates them.
std::vector<std::string> SpoolerPrinterNames()
{
    const DWORD flags = PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS;
    DWORD needed = 0;
    DWORD count = 0;
    EnumPrintersA(flags, nullptr, 4, nullptr, 0, &needed, &count);
    std::vector<std::string> names;
    if (needed == 0)
        return names;
    std::vector<BYTE> buffer(needed);
    if (!EnumPrintersA(flags, nullptr, 4, buffer.data(), needed, &needed, &count))
        return names;
    for (DWORD i = 0; i < count; ++i) {
        char* name = reinterpret_cast<PRINTER_INFO_4A*>(buffer.data())[i].pPrinterName;
        HANDLE printer = nullptr;
        PRINTER_DEFAULTSA defaults = {nullptr, nullptr, 0x20008};
        if (OpenPrinterA(name, &printer, &defaults)) {
            names.emplace_back(name);
            ClosePrinter(printer);
        }
    }
    return names;
}

// What one run of the live program left in its trace.
struct TracedRun {
    std::vector<std::string> scripts;   // "read: PATH" or "skipped: PATH: reason"
    std::vector<std::string> printers;  // unzplan's printer-list lines
    std::vector<std::string> plan;      // unzplan's report lines
};

TracedRun ReadTrace(const std::string& path)
{
    TracedRun run;
    const std::string scriptPrefix = "uninstaller: script ";
    for (const std::string& line : ReadLines(path)) {
        if (StartsWith(line, scriptPrefix))
            run.scripts.push_back(line.substr(scriptPrefix.size()));
        else if (StartsWith(line, "printer\t"))
            run.printers.push_back(line.substr(8));
        else if (IsPlanLine(line))
            run.plan.push_back(line);
    }
    return run;
}

// Printers of the package as an installer leaves them, and another vendor's.
const TestPrinter kPackagePrinters[] = {
    {"Plan Office", "ARVEL Vivaro 5320MF", true, nullptr},
    {"Plan Lab", "ARVEL Vivaro 5310MF", true, nullptr},
    {"Plan Office (masked)", "Veneer", false, "Plan Office"},
    {"Plan Guest", "Other Drv", false, nullptr},
};

// Puts the three scripts into three of the four directories the program
// searches, and takes every script out of all four again afterwards.
class UninstallerPlan : public ::testing::Test {
protected:
    void SetUp() override
    {
        const std::string drivers = PrinterDriverDirectory();
        ASSERT_FALSE(drivers.empty());
        driverSubdirectory_ = drivers + "3\\";
        createdSubdirectory_ = CreateDirectoryA(driverSubdirectory_.c_str(), nullptr) != FALSE;
        searched_ = {drivers, driverSubdirectory_, ProgramDirectory(), SystemDirectory()};
        RemoveScripts();

        placed_ = {{drivers + kScriptName, kDriverScript},
                   {driverSubdirectory_ + kScriptName, kMaskingToolScript},
                   {SystemDirectory() + kScriptName, kSettingsOnlyScript}};
        for (const auto& [path, text] : placed_)
            ASSERT_TRUE(WriteFile(path, text)) << path;
    }

    void TearDown() override
    {
        RemoveScripts();
        if (createdSubdirectory_)
            RemoveDirectoryA(driverSubdirectory_.c_str());
        SetEnvironmentVariableA("VIVARO_TRACE_FILE", nullptr);
    }

    void RemoveScripts()
    {
        for (const std::string& directory : searched_)
            DeleteFileA((directory + kScriptName).c_str());
    }

    // The order the program reads them in: sorted case-insensitively.
    std::vector<std::string> ScriptsInReadingOrder() const
    {
        std::vector<std::string> paths;
        for (const auto& placed : placed_)
            paths.push_back(placed.first);
        std::sort(paths.begin(), paths.end(),
                  [](const std::string& a, const std::string& b) { return Lowercase(a) < Lowercase(b); });
        return paths;
    }

    // Runs the program with switches until its list offers offeredPrinters
    // printers, lets start begin the removal, waits for the phases to end,
    // then runs unzplan on the same scripts and printers. Returns the
    // program's plan, after checking that it is unzplan's, and the printers
    // it was built for.
    TracedRun RunAndCompare(const std::string& switches, int offeredPrinters, const std::string& screenshot,
                            const std::function<void(HWND main, HWND list)>& start)
    {
        DeleteFileA(kTraceFile);
        SetEnvironmentVariableA("VIVARO_TRACE_FILE", kTraceFile);
        // The removal deletes printers and the scripts themselves.
        const std::vector<std::string> spoolerNames = SpoolerPrinterNames();

        wintest::RunningProgram uninstaller;
        EXPECT_TRUE(uninstaller.Start(switches.empty() ? "uninstaller.exe" : "uninstaller.exe " + switches));
        HWND main = wintest::WaitForTopWindow(kTitle, uninstaller.ProcessId(), kWindowTimeoutMs);
        if (!main) {
            ADD_FAILURE() << "no main window";
            return {};
        }
        HWND list = FindDescendant(main, kPrinterListId);
        EXPECT_TRUE(WaitFor([&] { return SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) == offeredPrinters; }, 10000))
            << "offered: " << SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
        // Uninstall waits for a selection while printers are offered.
        EXPECT_TRUE(WaitFor([&] { return IsWindowEnabled(GetDlgItem(main, 1080)) == (offeredPrinters == 0); }, 10000));
        wintest::LetWindowsSettle();
        wintest::SaveWindowPng(main, "screenshots\\" + screenshot + ".png");
        start(main, list);
        DWORD exitCode = 0xdeadbeef;
        // The phases end with text 199; the program exits once it is answered.
        EXPECT_TRUE(WaitFor(
            [&] {
                DismissMessageBox(uninstaller.ProcessId());
                return uninstaller.WaitForExit(0, &exitCode);
            },
            60000))
            << "the program ends after the phases";
        EXPECT_EQ(0u, exitCode);
        SetEnvironmentVariableA("VIVARO_TRACE_FILE", nullptr);

        TracedRun run = ReadTrace(kTraceFile);
        const std::vector<std::string> scripts = ScriptsInReadingOrder();
        // When the spooler lists no printer the loading goes back once and
        // reads the scripts again, with the same verdicts.
        const size_t readings = offeredPrinters == 0 && run.printers.empty() ? 2 : 1;
        EXPECT_EQ(3u * readings, run.scripts.size());
        if (run.scripts.size() == 6) {
            EXPECT_EQ(std::vector<std::string>(run.scripts.begin(), run.scripts.begin() + 3),
                      std::vector<std::string>(run.scripts.begin() + 3, run.scripts.end()));
            run.scripts.resize(3);
        }
        if (run.scripts.size() == 3) {
            EXPECT_EQ(Lowercase("read: " + scripts[0]), Lowercase(run.scripts[0]));
            EXPECT_EQ(Lowercase("read: " + scripts[1]), Lowercase(run.scripts[1]));
            EXPECT_EQ(Lowercase("skipped: " + scripts[2] + ": no starter sections"), Lowercase(run.scripts[2]));
        }

        // The program's printers are the spooler's.
        std::vector<std::string> tracedNames;
        for (const std::string& printer : run.printers)
            tracedNames.push_back(printer.substr(0, printer.find('\t')));
        EXPECT_EQ(spoolerNames, tracedNames);

        std::string printerList;
        for (const std::string& printer : run.printers)
            printerList += printer + "\n";
        EXPECT_TRUE(WriteFile("uninstaller_plan_printers.txt", printerList));
        // unzplan reads the scripts where the program found them.
        for (const auto& [path, text] : placed_)
            EXPECT_TRUE(WriteFile(path, text)) << path;
        std::string command = "unzplan.exe " + switches + " --printers uninstaller_plan_printers.txt";
        for (const std::string& script : scripts)
            command += " \"" + script + "\"";
        EXPECT_EQ(0u, RunConsole(command, "uninstaller_plan_unzplan.txt", "uninstaller_plan_unzplan_errors.txt"));
        const std::vector<std::string> errors = ReadLines("uninstaller_plan_unzplan_errors.txt");
        EXPECT_EQ(1u, errors.size());
        if (!errors.empty()) {
            EXPECT_NE(std::string::npos, errors[0].find("skipped: no starter sections"));
        }

        EXPECT_EQ(ReadLines("uninstaller_plan_unzplan.txt"), run.plan);
        return run;
    }

    std::string driverSubdirectory_;
    bool createdSubdirectory_ = false;
    std::vector<std::string> searched_;
    std::vector<std::pair<std::string, std::string>> placed_;
};

// Uninstall records the list's selection, then starts the removal.
void PressUninstall(HWND main, HWND)
{
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(main, 1080)));
    PostMessageA(main, WM_COMMAND, 1080, 0);
}

// Message 1128 starts the removal without recording a selection.
void StartRemovalMessage(HWND main, HWND) { PostMessageA(main, 1128, 0, 0); }

bool Has(const std::vector<std::string>& plan, const std::string& line)
{
    return std::find(plan.begin(), plan.end(), line) != plan.end();
}

const char kMakerKey[] = "plan.RegistryKeys\tHKLM,\"SOFTWARE\\ARVEL NORVANE\",\"\",0";

// Wine's spooler starts without printers, so nothing stays and the plan is a
// full removal: the scripts themselves and the maker's keys go too.
TEST_F(UninstallerPlan, WithoutPrintersTheWholePackageGoes)
{
    const std::vector<std::string> plan = RunAndCompare("", 0, "uninstaller_plan_no_printers", PressUninstall).plan;
    EXPECT_TRUE(Has(plan, std::string("plan.Files\t") + kScriptName));
    EXPECT_TRUE(Has(plan, kMakerKey));
    EXPECT_TRUE(Has(plan, "flag.picking\t1")) << "the rejected script's NOPICK is not applied";
    EXPECT_TRUE(Has(plan, "plan.Files\tZV5310.DLL"));
    EXPECT_TRUE(Has(plan, "plan.Files\tother-copy.dll")) << "the script read first keeps its profile";
    EXPECT_FALSE(Has(plan, "plan.Files\tZV5320.DLL"));
}

TEST_F(UninstallerPlan, WithUnvenOnlyTheMaskingToolIsSelected)
{
    const std::vector<std::string> plan = RunAndCompare("/UNVEN", 0, "uninstaller_plan_unven", PressUninstall).plan;
    EXPECT_TRUE(Has(plan, "selected.Hooks\tVENHOOK.DLL,VenUnhook"));
    EXPECT_FALSE(Has(plan, "selected.Files\tZV5310.DLL"));
}

TEST_F(UninstallerPlan, FilterSwitchesWithoutPrintersChangeNothingOfThePlan)
{
    const std::vector<std::string> plan =
        RunAndCompare("/MFG:ARVEL /PRN:\"Other Drv\"", 0, "uninstaller_plan_filters", PressUninstall).plan;
    EXPECT_TRUE(Has(plan, kMakerKey));
}

// The same scripts with printers of the package installed in the spooler.
class UninstallerPlanWithPrinters : public UninstallerPlan {
protected:
    void SetUp() override
    {
        UninstallerPlan::SetUp();
        AddTestPrinters(kPackagePrinters);
    }

    void TearDown() override
    {
        DeleteTestPrinters(kPackagePrinters);
        UninstallerPlan::TearDown();
    }
};

// Message 1128 starts the removal without a selection: every offered
// printer goes, the other vendor's printer is never offered nor counted.
TEST_F(UninstallerPlanWithPrinters, EveryOfferedPrinterGoes)
{
    const TracedRun run = RunAndCompare("", 3, "uninstaller_plan_printers", StartRemovalMessage);
    // What the program made of the spooler's answers; which printer is the
    // default is the prefix's business, so that flag is left out.
    std::vector<std::string> printers;
    for (std::string printer : run.printers) {
        const size_t flags = printer.rfind('\t') + 1;
        printer.erase(std::remove(printer.begin() + static_cast<std::ptrdiff_t>(flags), printer.end(), 'd'),
                      printer.end());
        printers.push_back(printer);
    }
    std::sort(printers.begin(), printers.end());
    EXPECT_EQ((std::vector<std::string>{"Plan Guest\tOther Drv\t\t\t", "Plan Lab\tARVEL Vivaro 5310MF\t\t\to",
                                        "Plan Office\tARVEL Vivaro 5320MF\t\t\to",
                                        "Plan Office (masked)\tVeneer\tPlan Office\t\t"}),
              printers);
    const std::vector<std::string>& plan = run.plan;
    EXPECT_TRUE(Has(plan, "counter.going\t3"));
    EXPECT_TRUE(Has(plan, "counter.staying\t0"));
    EXPECT_TRUE(Has(plan, std::string("plan.Files\t") + kScriptName));
}

// PRN keeps the other driver's printer; its profile is protected, and with a
// printer staying neither the scripts nor the maker's keys go. The masked
// copy follows its base printer although its driver does not match.
TEST_F(UninstallerPlanWithPrinters, APrinterKeptByPrnProtectsItsProfile)
{
    const std::vector<std::string> plan =
        RunAndCompare("/PRN:\"ARVEL Vivaro 5320MF\"", 1, "uninstaller_plan_printers_prn", StartRemovalMessage).plan;
    EXPECT_TRUE(Has(plan, "counter.going\t2"));
    EXPECT_TRUE(Has(plan, "counter.staying\t1"));
    EXPECT_TRUE(Has(plan, "protected.Files\tZV5310.DLL"));
    EXPECT_FALSE(Has(plan, "plan.Files\tZV5310.DLL"));
    EXPECT_FALSE(Has(plan, std::string("plan.Files\t") + kScriptName));
    EXPECT_FALSE(Has(plan, kMakerKey));
}

// The user picks one printer: the others offered stay, except the masked
// copy, which goes with its base printer.
TEST_F(UninstallerPlanWithPrinters, UninstallRemovesOnlyTheSelectedPrinter)
{
    const std::vector<std::string> plan =
        RunAndCompare("", 3, "uninstaller_plan_printers_offered", [](HWND main, HWND list) {
            // The first item has the focus; the arrow key selects the
            // second, "Plan Office" in the spooler's order.
            PostMessageA(list, WM_KEYDOWN, VK_DOWN, 0);
            EXPECT_TRUE(WaitFor([&] { return SendMessageA(list, LVM_GETSELECTEDCOUNT, 0, 0) == 1; }, 5000));
            EXPECT_TRUE(WaitFor([&] { return IsWindowEnabled(GetDlgItem(main, 1080)) != FALSE; }, 5000));
            wintest::LetWindowsSettle();
            wintest::SaveWindowPng(main, "screenshots\\uninstaller_plan_printer_selected.png");
            PressUninstall(main, list);
        }).plan;
    EXPECT_TRUE(Has(plan, "counter.going\t2"));
    EXPECT_TRUE(Has(plan, "counter.staying\t1"));
    EXPECT_TRUE(Has(plan, "protected.Files\tZV5310.DLL"));
    EXPECT_TRUE(Has(plan, "plan.Files\tother-copy.dll"));
}

}  // namespace
