#include "MemoryScriptStorage.h"
#include "PrinterListFile.h"
#include "ScriptDiscovery.h"
#include "ScriptLoading.h"
#include "SpoolerPrinterFacts.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>
#include <utility>

using ::testing::ElementsAre;
using ::testing::Pair;

namespace {

class ListedDirectories : public DirectoryLister {
public:
    std::map<std::string, std::vector<DirectoryMatch>> entries;

    std::vector<DirectoryMatch> FindMatches(const std::string& directory, const std::string&) override
    {
        auto found = entries.find(directory);
        return found == entries.end() ? std::vector<DirectoryMatch>{} : found->second;
    }
};

const char kDriverScript[] =
    "[UnPrinterDrivers]\n"
    "Drv A,A,1\n"
    "Veneer,V,2\n"
    "[A.Files]\na.dll\n"
    "[V.Files]\nVENEER32.EXE\n";

const char kSecondScript[] =
    "[UnPrinterDrivers]\n"
    "Drv A,A2,1\n"
    "Drv B,B,1\n"
    "[A2.Files]\nnot-read-first.dll\n"
    "[B.Files]\nb.dll\n";

const char kSettingsOnly[] = "[CommandlineParam]\nNOPICK=1\n";

class ScriptLoading : public ::testing::Test {
protected:
    void SetUp() override
    {
        lister.entries["C:\\SYS\\"] = {{"Xunz___Z.unm", 0x20}};
        lister.entries["C:\\DRV\\3\\"] = {{"Xunz___Z.unm", 0x20}};
        lister.entries["C:\\DRV\\"] = {{"XUNZ___Z.UNM", 0x20}};
        storage.files["C:\\DRV\\XUNZ___Z.UNM"] = kSecondScript;
        storage.files["C:\\DRV\\3\\Xunz___Z.unm"] = kDriverScript;
        storage.files["C:\\SYS\\Xunz___Z.unm"] = kSettingsOnly;
    }

    std::vector<std::string> Read()
    {
        return ReadDiscoveredScripts(database, ScriptSearchDirectories("C:\\DRV", "C:\\APP", "C:\\SYS"), lister,
                                     storage, [this](const std::string& path, ScriptReadResult result) {
                                         verdicts.emplace_back(path, result);
                                     });
    }

    ListedDirectories lister;
    MemoryScriptStorage storage;
    UninstallDatabase database;
    std::vector<std::pair<std::string, ScriptReadResult>> verdicts;
};

InstalledPrinter Ours(const char* name, const char* driver, const char* baseName = "")
{
    InstalledPrinter printer;
    printer.name = name;
    printer.driver = driver;
    printer.baseName = baseName;
    printer.ours = true;
    printer.DeriveForeign();
    return printer;
}

}  // namespace

TEST_F(ScriptLoading, ReadsEveryFoundScriptInSortedOrderAndReportsTheRejectedOne)
{
    EXPECT_THAT(Read(), ElementsAre("C:\\DRV\\3\\Xunz___Z.unm", "C:\\DRV\\XUNZ___Z.UNM", "C:\\SYS\\Xunz___Z.unm"));
    EXPECT_THAT(verdicts, ElementsAre(Pair("C:\\DRV\\3\\Xunz___Z.unm", ScriptReadResult::Read),
                                      Pair("C:\\DRV\\XUNZ___Z.UNM", ScriptReadResult::Read),
                                      Pair("C:\\SYS\\Xunz___Z.unm", ScriptReadResult::NoStarterSections)));
    // The script read first keeps its profile; the rejected one sets nothing.
    const UninstallProfile* driverA = database.FindProfileByName("Drv A");
    ASSERT_NE(driverA, nullptr);
    EXPECT_THAT(driverA->Items(ItemList::Files), ElementsAre("a.dll"));
    EXPECT_TRUE(database.PickingAllowed());
}

TEST_F(ScriptLoading, SwitchesFilterThePrintersAndCountWhatIsOffered)
{
    Read();
    CommandLineSwitches switches;
    switches.Parse("uninstaller.exe /PRN:\"drv a\" /MFG:");
    PrinterFilter filter = PrinterFilterFromSwitches(switches);
    EXPECT_THAT(filter.driverNames, ElementsAre("drv a"));
    EXPECT_TRUE(filter.manufacturerSwitch);

    int offered = ApplySelectionRules(database, filter, {Ours("One", "Drv A"), Ours("Two", "Drv B")});
    EXPECT_EQ(offered, 1);
    EXPECT_FALSE(database.Printers()[0].keep);
    EXPECT_TRUE(database.Printers()[1].keep);
    EXPECT_FALSE(database.Printers()[1].eligible);
    // Without UNVEN the masking tool's items leave the selected set.
    EXPECT_THAT(database.SelectedSet().Items(ItemList::Files), ElementsAre("a.dll", "b.dll"));
}

TEST_F(ScriptLoading, UnvenOffersOnlyMaskedPrintersAndSelectsTheMaskingToolAlone)
{
    Read();
    CommandLineSwitches switches;
    switches.Parse("uninstaller.exe -unven");
    int offered = ApplySelectionRules(database, PrinterFilterFromSwitches(switches),
                                      {Ours("One", "Drv A"), Ours("One (masked)", "Veneer", "One")});
    EXPECT_EQ(offered, 1);
    EXPECT_TRUE(database.Printers()[0].keep);
    EXPECT_FALSE(database.Printers()[1].keep);
    EXPECT_THAT(database.SelectedSet().Items(ItemList::Files), ElementsAre("VENEER32.EXE"));
}

TEST(SpoolerPrinterFacts, LevelDefaultAndFlagsFollowThePlatform)
{
    EXPECT_EQ(PrinterEnumerationLevel(3), 4);
    EXPECT_EQ(PrinterEnumerationLevel(2), 5);
    EXPECT_EQ(PrinterEnumerationLevel(1), 2);
    EXPECT_EQ(DefaultPrinterFromDeviceEntry("Office,winspool,Ne00:"), "Office");
    EXPECT_EQ(DefaultPrinterFromDeviceEntry("Office"), "Office");
    EXPECT_EQ(DefaultPrinterFromDeviceEntry(""), "");

    SpoolerPrinterFacts facts;
    facts.name = "Office";
    facts.driver = "Drv A";
    facts.server = "\\\\PRINTSRV";
    InstalledPrinter plain = MakeInstalledPrinter(facts, "Office", "DESK", 3);
    EXPECT_TRUE(plain.isDefault);
    EXPECT_FALSE(plain.ours);
    EXPECT_TRUE(plain.foreign);
    EXPECT_EQ(plain.server, "\\\\PRINTSRV");

    // The oldest platform has no printer data: every printer counts as ours.
    InstalledPrinter oldest = MakeInstalledPrinter(facts, "Other", "", 1);
    EXPECT_TRUE(oldest.ours);
    EXPECT_FALSE(oldest.foreign);
    EXPECT_FALSE(oldest.isDefault);
    EXPECT_EQ(oldest.server, "");

    facts.defaultAttribute = true;
    facts.maskedBaseName = "Lab";
    InstalledPrinter masked = MakeInstalledPrinter(facts, "", "DESK", 3);
    EXPECT_TRUE(masked.isDefault);
    EXPECT_FALSE(masked.foreign);
    EXPECT_EQ(masked.baseName, "Lab");
}

TEST(SpoolerPrinterFacts, TheLocalComputerIsNoServerWithOrWithoutBackslashes)
{
    SpoolerPrinterFacts facts;
    facts.name = "Office";
    facts.hasOwnerData = true;
    for (const char* server : {"", "DESK", "desk", "\\\\DESK"}) {
        facts.server = server;
        EXPECT_EQ(MakeInstalledPrinter(facts, "", "DESK", 3).server, "") << server;
    }
    facts.server = "\\\\DESKTOP";
    EXPECT_EQ(MakeInstalledPrinter(facts, "", "DESK", 2).server, "\\\\DESKTOP");
}

TEST(PrinterListFile, AFormattedLineReadsBackAsTheSamePrinter)
{
    InstalledPrinter printer = Ours("Office (masked)", "Veneer", "Office");
    printer.server = "\\\\SRV";
    printer.isDefault = true;
    printer.keep = true;
    EXPECT_EQ(FormatPrinterListLine(printer), "Office (masked)\tVeneer\tOffice\t\\\\SRV\tdok");
    PrinterListResult read = ParsePrinterList(FormatPrinterListLine(printer) + "\n");
    ASSERT_TRUE(read.ok) << read.error;
    ASSERT_EQ(read.printers.size(), 1u);
    const InstalledPrinter& back = read.printers[0];
    EXPECT_EQ(back.name, printer.name);
    EXPECT_EQ(back.driver, printer.driver);
    EXPECT_EQ(back.baseName, printer.baseName);
    EXPECT_EQ(back.server, printer.server);
    EXPECT_TRUE(back.isDefault && back.ours && back.keep);
}
