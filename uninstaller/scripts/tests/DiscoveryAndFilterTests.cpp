#include "PrinterFilter.h"
#include "ScriptDiscovery.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>

using ::testing::ElementsAre;

namespace {

class FakeLister : public DirectoryLister {
public:
    std::map<std::string, std::vector<DirectoryMatch>> entries;
    std::vector<std::string> asked;

    std::vector<DirectoryMatch> FindMatches(const std::string& directory, const std::string& fileName) override
    {
        asked.push_back(directory + fileName);
        auto found = entries.find(directory);
        return found == entries.end() ? std::vector<DirectoryMatch>{} : found->second;
    }
};

}  // namespace

TEST(ScriptDiscovery, SearchesTheFourDirectoriesInOrder)
{
    std::vector<std::string> directories = ScriptSearchDirectories("C:\\DRV\\", "C:\\APP\\", "C:\\SYS\\");
    EXPECT_THAT(directories, ElementsAre("C:\\DRV\\", "C:\\DRV\\3\\", "C:\\APP\\", "C:\\SYS\\"));
    EXPECT_THAT(ScriptSearchDirectories("", "C:\\APP", ""), ElementsAre("", "", "C:\\APP\\", ""));
    FakeLister lister;
    DiscoverScripts(directories, lister);
    EXPECT_THAT(lister.asked, ElementsAre("C:\\DRV\\Xunz___Z.unm", "C:\\DRV\\3\\Xunz___Z.unm", "C:\\APP\\Xunz___Z.unm",
                                          "C:\\SYS\\Xunz___Z.unm"));
}

TEST(ScriptDiscovery, SortsDropsCaseDuplicatesAndSkipsDirectories)
{
    FakeLister lister;
    lister.entries["c:\\sys\\"] = {{"XUNZ___Z.UNM", 0x20}};
    lister.entries["C:\\SYS\\"] = {{"Xunz___Z.unm", 0x20}};
    lister.entries["C:\\APP\\"] = {{"Xunz___Z.unm", 0x10}};
    lister.entries["C:\\DRV\\3\\"] = {{"Xunz___Z.unm", 0x11}};
    std::vector<std::string> found =
        DiscoverScripts({"c:\\sys\\", "C:\\APP\\", "C:\\SYS\\", "C:\\DRV\\3\\", ""}, lister);
    EXPECT_THAT(found, ElementsAre("C:\\DRV\\3\\Xunz___Z.unm", "c:\\sys\\XUNZ___Z.UNM"));
    EXPECT_EQ(lister.asked.size(), 4u);
}

TEST(PrinterFilter, ManufacturerPrefixesAndDriverNamesMatchCaseInsensitively)
{
    PrinterFilter filter;
    filter.manufacturerSwitch = true;
    filter.manufacturerPrefixes = {"arvel n", ""};
    filter.driverSwitch = true;
    filter.driverNames = {"Other Drv"};
    EXPECT_TRUE(DriverMatchesFilter(filter, "ARVEL NORVANE Vivaro 5320MF"));
    EXPECT_TRUE(DriverMatchesFilter(filter, "other drv"));
    EXPECT_FALSE(DriverMatchesFilter(filter, "Other Drv 2"));
    EXPECT_FALSE(DriverMatchesFilter(filter, "ARVEL"));
}

TEST(PrinterFilter, SwitchWithoutValuesMatchesNothing)
{
    PrinterFilter filter;
    filter.driverSwitch = true;
    InstalledPrinter printer;
    printer.driver = "ARVEL NORVANE Vivaro 5320MF";
    ApplyPrinterFilter(filter, printer);
    EXPECT_FALSE(printer.eligible);
    EXPECT_TRUE(printer.keep);
}

TEST(PrinterFilter, UnvenOffersOnlyMaskedCopiesMatchOrNot)
{
    PrinterFilter filter;
    filter.includeMaskingTool = true;
    filter.driverSwitch = true;
    filter.driverNames = {"Drv"};
    InstalledPrinter plain;
    plain.driver = "Drv";
    InstalledPrinter masked;
    masked.driver = "Other";
    masked.baseName = "Office";
    ApplyPrinterFilter(filter, plain);
    ApplyPrinterFilter(filter, masked);
    EXPECT_TRUE(plain.keep);
    EXPECT_FALSE(plain.eligible);
    EXPECT_FALSE(masked.keep);
    EXPECT_TRUE(masked.eligible);
}
