#include "FakePrinterSpooler.h"
#include "InstalledPrinterList.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using ::testing::ElementsAre;

namespace {

std::vector<std::string> Names(const std::vector<InstalledPrinter>& printers)
{
    std::vector<std::string> names;
    for (const InstalledPrinter& printer : printers)
        names.push_back(printer.name);
    return names;
}

}  // namespace

TEST(InstalledPrinterList, EnumerationLevelAndEntrySizeFollowThePlatform)
{
    struct Case {
        int platformClass;
        int level;
        std::uint32_t entrySize;
    } cases[] = {{3, 4, 12}, {2, 5, 20}, {1, 2, 84}};
    for (const Case& c : cases) {
        FakeSpooler spooler;
        spooler.printers = {Ours("One", "Drv A")};
        std::vector<InstalledPrinter> printers;
        BuildListOfInstalledPrinters(spooler, c.platformClass, {}, printers);
        EXPECT_THAT(spooler.levelsAsked, ElementsAre(c.level, c.level)) << c.platformClass;
        EXPECT_EQ(PrinterEnumerationEntrySize(c.level), c.entrySize);
        EXPECT_THAT(spooler.accessAsked, ElementsAre(0x20008u));
    }
}

TEST(InstalledPrinterList, OursMaskedForeignDefaultAndServerInEnumerationOrder)
{
    FakeSpooler spooler;
    spooler.deviceEntry = "Profile Default,winspool,Ne01:";
    FakePrinter byAttribute = Ours("Office", "Drv A");
    byAttribute.attributes = kPrinterAttributeDefault;
    FakePrinter byProfile = Ours("Profile Default", "Drv A");
    byProfile.server = "\\\\desk";  // the local computer, other case
    FakePrinter profileOtherCase = Ours("profile default", "Drv A");
    FakePrinter masked = Theirs("Office (masked)", "Veneer Drv", "\\\\PRINTSRV");
    masked.maskedBaseName = "Office";
    FakePrinter foreign = Theirs("Other vendor", "Other Drv");
    FakePrinter closed = Ours("Cannot open", "Drv A");
    closed.opens = false;
    spooler.printers = {byAttribute, byProfile, profileOtherCase, masked, foreign, closed};

    std::vector<InstalledPrinter> printers;
    InstalledPrinterListResult result = BuildListOfInstalledPrinters(spooler, 3, {}, printers);
    EXPECT_EQ(result.outcome, PrinterListOutcome::Listed);
    EXPECT_EQ(result.printersOpened, 5);
    ASSERT_THAT(Names(printers),
                ElementsAre("Office", "Profile Default", "profile default", "Office (masked)", "Other vendor"));
    EXPECT_TRUE(printers[0].isDefault);
    EXPECT_TRUE(printers[1].isDefault);
    EXPECT_FALSE(printers[2].isDefault);  // the profile's name compares exactly
    EXPECT_EQ(printers[1].server, "");
    EXPECT_EQ(printers[3].server, "\\\\PRINTSRV");
    EXPECT_EQ(printers[3].baseName, "Office");
    EXPECT_FALSE(printers[3].ours);
    EXPECT_FALSE(printers[3].foreign);
    EXPECT_TRUE(printers[4].foreign);
    EXPECT_FALSE(printers[4].Offered());
    EXPECT_TRUE(spooler.AllClosed());
}

TEST(InstalledPrinterList, PlatformClass1HasNoPrinterDataAndNoServers)
{
    FakeSpooler spooler;
    FakePrinter remote = Theirs("Remote", "Drv A", "\\\\PRINTSRV");
    spooler.printers = {remote};
    std::vector<InstalledPrinter> printers;
    BuildListOfInstalledPrinters(spooler, 1, {}, printers);
    ASSERT_EQ(printers.size(), 1u);
    EXPECT_TRUE(printers[0].ours);
    EXPECT_FALSE(printers[0].foreign);
    EXPECT_EQ(printers[0].server, "");
}

TEST(InstalledPrinterList, SwitchesFilterWhatIsOffered)
{
    FakeSpooler spooler;
    FakePrinter masked = Theirs("A (masked)", "Veneer Drv");
    masked.maskedBaseName = "A";
    spooler.printers = {Ours("A", "Arvel Laser"), Ours("B", "Drv B"), masked};

    struct Case {
        const char* what;
        PrinterFilter filter;
        std::vector<bool> offered;
    } cases[] = {
        {"no switch", {}, {true, true, true}},
        {"MFG prefix, any case", {true, {"arvel"}, false, {}, false}, {true, false, false}},
        {"PRN exact name", {false, {}, true, {"DRV B"}, false}, {false, true, false}},
        {"PRN is no prefix", {false, {}, true, {"Drv"}, false}, {false, false, false}},
        {"bare MFG matches nothing", {true, {}, false, {}, false}, {false, false, false}},
        {"UNVEN: masked copies only", {true, {"Arvel"}, false, {}, true}, {false, false, true}},
    };
    for (const Case& c : cases) {
        std::vector<InstalledPrinter> printers;
        BuildListOfInstalledPrinters(spooler, 3, c.filter, printers);
        ASSERT_EQ(printers.size(), 3u);
        for (std::size_t i = 0; i < printers.size(); ++i) {
            EXPECT_EQ(printers[i].eligible, c.offered[i]) << c.what << " " << printers[i].name;
            EXPECT_EQ(printers[i].keep, !c.offered[i]) << c.what << " " << printers[i].name;
        }
    }
}

TEST(InstalledPrinterList, FailuresGiveNoPrinters)
{
    FakeSpooler spooler;
    spooler.firstCallError = kRpcServerUnavailable;
    std::vector<InstalledPrinter> printers = {InstalledPrinter{}};
    InstalledPrinterListResult result = BuildListOfInstalledPrinters(spooler, 3, {}, printers);
    EXPECT_EQ(result.outcome, PrinterListOutcome::SpoolerNotAnswering);
    EXPECT_TRUE(printers.empty());

    spooler.firstCallError = 5;  // another error: simply no printers
    result = BuildListOfInstalledPrinters(spooler, 3, {}, printers);
    EXPECT_EQ(result.outcome, PrinterListOutcome::Listed);
    EXPECT_EQ(result.printersOpened, 0);
}

TEST(InstalledPrinterList, EachQuickExceptionInfoIsCaughtInsideTheBuilder)
{
    struct Case {
        const char* function;
        const char* description;
        const char* firstName;
        const char* secondName;
    } cases[] = {
        {"_alloca", "FAILED to ALLOCA!!!", "Bytes needed", ""},
        {"EnumPrinters", "failed to enum printers", "Bytes needed", "bytes returned"},
        {"GetPrinter", "unable to GetPrinter level 2 data", "hPrinter", "Buffer"},
    };
    for (int which = 0; which < 3; ++which) {
        FakeSpooler spooler;
        FakePrinter unreadable = Ours("B", "Drv A");
        unreadable.level2Readable = which != 2;
        spooler.printers = {Ours("A", "Drv A"), unreadable, Ours("C", "Drv A")};
        spooler.bufferAvailable = which != 0;
        spooler.secondCallFails = which == 1;

        std::vector<InstalledPrinter> printers;
        InstalledPrinterListResult result = BuildListOfInstalledPrinters(spooler, 3, {}, printers);
        const Case& c = cases[which];
        EXPECT_EQ(result.outcome, PrinterListOutcome::Failed) << c.function;
        EXPECT_EQ(result.printersOpened, 0) << c.function;
        EXPECT_TRUE(printers.empty()) << c.function;
        ASSERT_TRUE(result.failure.has_value()) << c.function;
        EXPECT_EQ(result.failure->function, c.function);
        EXPECT_EQ(result.failure->description, c.description);
        EXPECT_EQ(result.failure->firstName, c.firstName);
        EXPECT_EQ(result.failure->secondName, c.secondName);
        EXPECT_TRUE(spooler.AllClosed()) << c.function;
    }
}
