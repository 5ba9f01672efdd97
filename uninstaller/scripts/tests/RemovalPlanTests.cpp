#include "MemoryScriptStorage.h"
#include "PlanReport.h"
#include "PrinterFilter.h"
#include "UninstallDatabase.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <set>
#include <sstream>

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::Not;

namespace {

const char kScriptPath[] = "C:\\WINDOWS\\System32\\spool\\drivers\\w32x86\\Xunz___Z.unm";

const char kPackageScript[] =
    "[UnPrinterMfgs]\n"
    "ARVEL,M,1\n"
    "[UnPrinterDrivers]\n"
    "ARVEL Vivaro 5320MF,A,1\n"
    "ARVEL Vivaro 5310MF,B,1\n"
    "Veneer,V,1\n"
    "[Unz_CatchAll]\n"
    "Catch,C,1\n"
    "[Unx_Ignore]\n"
    "Other Vendor Drv,I,1\n"
    "[A.Files]\na.dll\n"
    "[A.Monitors]\nVivaro Monitor\n"
    "[B.Files]\nb.dll\nshared.dll\n"
    "[B.Monitors]\nVivaro Monitor\n"
    "[V.Files]\nVENEER32.EXE\nvenhook.dll\n"
    "[M.Services]\nArvelSvc\n"
    "[C.Files]\ncommon.dll\n"
    "[I.Files]\nshared.dll\n";

InstalledPrinter Printer(const char* name, const char* driver, bool ours, const char* baseName = "")
{
    InstalledPrinter printer;
    printer.name = name;
    printer.driver = driver;
    printer.ours = ours;
    printer.baseName = baseName;
    printer.DeriveForeign();
    return printer;
}

const std::vector<std::string> kMakerKeys = {
    "HKLM,\"SOFTWARE\\ARVEL NORVANE\",\"\",0",
    "HKLM,\"SOFTWARE\\ARVEL NORVANE\\Filters\",\"\",1",
    "HKLM,\"SOFTWARE\\ARVEL NORVANE\\OEM_Z\",\"\",1",
    "HKLM,\"SOFTWARE\\ARVEL NORVANE\\XSR32__Z\",\"\",1",
};

// Loads the package script and the printers as the loading sequence does.
class RemovalPlan : public ::testing::Test {
protected:
    void Load(int platformClass = 3, PrinterFilter filter = {})
    {
        database = UninstallDatabase(platformClass);
        storage.files[kScriptPath] = kPackageScript;
        ASSERT_EQ(database.ReadScript(kScriptPath, storage), ScriptReadResult::Read);
        database.CollectSelectedSet();
        database.ApplyMaskingToolChoice(filter.includeMaskingTool);
        database.Printers() = {
            Printer("Office", "ARVEL Vivaro 5320MF", true),
            Printer("Lab", "ARVEL Vivaro 5310MF", true),
            Printer("Office (masked)", "Veneer", false, "office"),
            Printer("Guest", "Other Vendor Drv", false),
        };
        for (InstalledPrinter& printer : database.Printers())
            ApplyPrinterFilter(filter, printer);
    }

    InstalledPrinter& Named(const std::string& name)
    {
        for (InstalledPrinter& printer : database.Printers()) {
            if (printer.name == name)
                return printer;
        }
        throw std::runtime_error("no printer " + name);
    }

    const std::vector<std::string>& Plan(ItemList list) { return database.RemovalPlan().Items(list); }

    // As the printer list records a selection: every offered printer that
    // is not selected is kept.
    void Select(const std::set<std::string>& selected)
    {
        for (InstalledPrinter& printer : database.Printers()) {
            if (printer.Offered())
                printer.keep = !selected.count(printer.name);
        }
    }

    // The plan with its sets, flags and counters, and which printers go.
    std::string Report()
    {
        std::ostringstream report;
        WritePlanReport(database, report);
        for (const InstalledPrinter& printer : database.Printers())
            report << printer.name << (printer.Goes() ? " goes\n" : " stays\n");
        return report.str();
    }

    MemoryScriptStorage storage;
    UninstallDatabase database;
};

}  // namespace

TEST_F(RemovalPlan, EveryPrinterGoingTakesScriptsMakerKeysCatchAllAndMaskingTool)
{
    Load();
    database.BuildRemovalPlan();
    EXPECT_EQ(database.PrintersGoing(), 3);
    EXPECT_EQ(database.PrintersStaying(), 0);
    EXPECT_THAT(Plan(ItemList::Files),
                ElementsAre("a.dll", "b.dll", "common.dll", "VENEER32.EXE", "venhook.dll", "Xunz___Z.unm"));
    EXPECT_EQ(Plan(ItemList::RegistryKeys), kMakerKeys);
    EXPECT_THAT(Plan(ItemList::Services), ElementsAre("ArvelSvc"));
    EXPECT_THAT(Plan(ItemList::Monitors), ElementsAre("Vivaro Monitor"));
    EXPECT_THAT(Plan(ItemList::Drivers),
                ElementsAre("ARVEL Vivaro 5310MF", "ARVEL Vivaro 5320MF", "Catch", "Veneer"));
    EXPECT_FALSE(database.MaskingToolKept());
    // The ignore profile protects its items even now.
    EXPECT_THAT(database.ProtectedSet().Items(ItemList::Files), ElementsAre("shared.dll"));
    EXPECT_FALSE(Named("Guest").keep);
}

TEST_F(RemovalPlan, OneKeptPrinterProtectsItsProfileAndKeepsThePackageScaffolding)
{
    Load();
    Named("Lab").keep = true;
    database.BuildRemovalPlan();
    EXPECT_EQ(database.PrintersStaying(), 1);
    EXPECT_EQ(database.PrintersGoing(), 2);
    EXPECT_THAT(Plan(ItemList::Files), ElementsAre("a.dll"));
    EXPECT_THAT(Plan(ItemList::RegistryKeys), IsEmpty());
    EXPECT_THAT(Plan(ItemList::Monitors), IsEmpty());
    EXPECT_THAT(Plan(ItemList::Drivers), ElementsAre("ARVEL Vivaro 5320MF"));
    EXPECT_THAT(database.ProtectedSet().Items(ItemList::Files), ElementsAre("b.dll", "common.dll", "shared.dll"));
    EXPECT_TRUE(database.MaskingToolKept());
}

TEST_F(RemovalPlan, MaskedCopiesFollowTheirBasePrinterOnly)
{
    Load();
    Named("Lab").keep = true;
    Named("Office (masked)").keep = true;
    database.BuildRemovalPlan();
    EXPECT_TRUE(Named("Office (masked)").Goes());
    EXPECT_EQ(database.PrintersGoing(), 2);

    Load();
    Named("Office").keep = true;
    Named("Lab").keep = true;
    database.BuildRemovalPlan();
    EXPECT_TRUE(Named("Office (masked)").Goes());
    EXPECT_EQ(database.PrintersGoing(), 1);
    EXPECT_EQ(database.PrintersStaying(), 2);
    EXPECT_THAT(Plan(ItemList::Files), IsEmpty());
}

// The details dialog rebuilds the plan on every choice; whatever was chosen
// before, the plan is the one the last selection gives on its own.
TEST_F(RemovalPlan, ThePlanDependsOnTheLastSelectionAlone)
{
    using Selection = std::set<std::string>;
    const Selection everything = {"Office", "Lab", "Office (masked)"};
    PrinterFilter arvelOnly;
    arvelOnly.manufacturerSwitch = true;
    arvelOnly.manufacturerPrefixes = {"ARVEL"};
    struct Case {
        const char* what;
        PrinterFilter filter;
        std::vector<Selection> selections;
    } cases[] = {
        {"everything, then Lab alone", {}, {everything, {"Lab"}}},
        {"Lab, everything, Lab", {}, {{"Lab"}, everything, {"Lab"}}},
        {"Office, then everything", {}, {{"Office"}, everything}},
        {"everything, then Office", {}, {everything, {"Office"}}},
        {"an unlisted masked copy: Office, then Lab", arvelOnly, {{"Office", "Lab"}, {"Lab"}}},
        {"an unlisted masked copy: Lab, Office, Lab", arvelOnly, {{"Lab"}, {"Office"}, {"Lab"}}},
    };
    for (const Case& c : cases) {
        Load(3, c.filter);
        for (const Selection& selection : c.selections) {
            Select(selection);
            database.BuildRemovalPlan();
        }
        const std::string rebuilt = Report();
        Load(3, c.filter);
        Select(c.selections.back());
        database.BuildRemovalPlan();
        EXPECT_EQ(rebuilt, Report()) << c.what;
    }
}

// A full removal ended abruptly and taken up by a run in which a printer
// stays: the scripts, the maker's keys and the masking tool stay with it.
TEST_F(RemovalPlan, AnUnfinishedFullRemovalTakesItsFullRemovalItemsOnlyWhileNoPrinterStays)
{
    Load();
    Select({"Office", "Lab", "Office (masked)"});
    database.BuildRemovalPlan();
    const std::optional<RemovalRecord> record = ParseRemovalRecord(FormatRemovalRecord(database.RecordOfRemoval()));
    ASSERT_TRUE(record.has_value());

    for (const bool labKept : {true, false}) {
        Load();
        database.ResumeUnfinishedRemoval(*record);
        database.KeepPrintersOutsideUnfinishedRemoval();
        Select(labKept ? std::set<std::string>{"Office"} : std::set<std::string>{"Office", "Lab"});
        database.BuildRemovalPlan();
        EXPECT_THAT(Plan(ItemList::Files), Contains("a.dll"));
        for (const std::string& key : kMakerKeys)
            EXPECT_EQ(labKept, !database.RemovalPlan().Contains(ItemList::RegistryKeys, key)) << key;
        for (const char* file : {"Xunz___Z.unm", "VENEER32.EXE"})
            EXPECT_EQ(labKept, !database.RemovalPlan().Contains(ItemList::Files, file)) << file;
    }
}

TEST_F(RemovalPlan, KeptPrinterWithoutDriverProfileIsProtectedByItsManufacturer)
{
    Load();
    database.Printers().push_back(Printer("Reception", "ARVEL Vivaro 9000", true));
    Named("Reception").keep = true;
    database.BuildRemovalPlan();
    EXPECT_THAT(Plan(ItemList::Services), IsEmpty());
    EXPECT_THAT(database.ProtectedSet().Items(ItemList::Services), ElementsAre("ArvelSvc"));
}

TEST_F(RemovalPlan, UnvenRemovesOnlyTheMaskingToolAndItsPrinters)
{
    PrinterFilter filter;
    filter.includeMaskingTool = true;
    Load(3, filter);
    EXPECT_THAT(database.SelectedSet().Items(ItemList::Drivers), ElementsAre("Veneer"));
    EXPECT_TRUE(Named("Office").keep);
    EXPECT_FALSE(Named("Office (masked)").keep);
    database.BuildRemovalPlan();
    EXPECT_EQ(database.PrintersStaying(), 2);
    EXPECT_EQ(database.PrintersGoing(), 1);
    EXPECT_THAT(Plan(ItemList::Files), ElementsAre("VENEER32.EXE", "venhook.dll"));
    EXPECT_THAT(Plan(ItemList::Drivers), ElementsAre("Veneer"));
    EXPECT_FALSE(database.MaskingToolKept());
}

TEST_F(RemovalPlan, OldestPlatformLooksForTheSixteenBitToolName)
{
    Load(1);
    database.BuildRemovalPlan();
    EXPECT_THAT(Plan(ItemList::Files), Contains("VENEER32.EXE"));
    EXPECT_TRUE(database.MaskingToolKept());
}

TEST_F(RemovalPlan, RemovedAndForeignPrintersAreNotCountedAndRebuildingIsStable)
{
    Load();
    Named("Lab").removed = true;
    Named("Office").keep = true;
    database.BuildRemovalPlan();
    UninstallProfile first = database.RemovalPlan();
    EXPECT_EQ(database.PrintersStaying(), 1);
    EXPECT_EQ(database.PrintersGoing(), 1);  // the masked copy, not following its kept base
    database.BuildRemovalPlan();
    for (size_t i = 0; i < kItemListCount; ++i)
        EXPECT_EQ(database.RemovalPlan().Items(ItemListAt(i)), first.Items(ItemListAt(i)));
    EXPECT_THAT(Plan(ItemList::Files), Not(Contains("a.dll")));
}

TEST(RemovalPlanWithoutScripts, IsEmptyButStillCountsPrinters)
{
    UninstallDatabase database;
    InstalledPrinter printer;
    printer.name = "P";
    printer.ours = true;
    database.Printers().push_back(printer);
    database.CollectSelectedSet();
    database.BuildRemovalPlan();
    EXPECT_EQ(database.PrintersGoing(), 1);
    EXPECT_EQ(database.RemovalPlan().Items(ItemList::Files), std::vector<std::string>{});
    EXPECT_EQ(database.RemovalPlan().Items(ItemList::RegistryKeys), kMakerKeys);
    EXPECT_TRUE(database.MaskingToolKept());
}
