#include "DetailsLists.h"
#include "MemoryScriptStorage.h"
#include "SelectionRows.h"
#include "resource.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>

using ::testing::ElementsAre;

namespace {

class Texts : public StringSource {
public:
    std::string loadResourceString(unsigned id) override
    {
        static const std::map<unsigned, std::string> texts = {
            {IDS_LOCAL, "Local"}, {IDS_YES, "Oui"}, {IDS_NO, "Non"}, {IDS_NOT_APPLICABLE, "(n/a)"}};
        auto found = texts.find(id);
        return found == texts.end() ? std::string() : found->second;
    }
    std::string readIniValue(const std::string&, const std::string&, const std::string&) override { return {}; }
    std::string searchPath(const std::string&) override { return {}; }
    std::string programIniPath() override { return {}; }
};

InstalledPrinter Printer(std::string name, std::string driver)
{
    InstalledPrinter printer;
    printer.name = std::move(name);
    printer.driver = std::move(driver);
    printer.ours = true;
    return printer;
}

}  // namespace

TEST(SelectionRows, ImageIndexAndColumns)
{
    Texts source;
    StringTable texts(source);
    InstalledPrinter local = Printer("Office", "Drv A");
    EXPECT_EQ(PrinterImageIndex(local), 0);
    EXPECT_THAT(PrinterColumnTexts(local, texts), ElementsAre("Office", "Drv A", "Local", "Non", "Oui", "(n/a)"));

    InstalledPrinter everything = Printer("Copy", "Veneer");
    everything.ours = false;
    everything.isDefault = true;
    everything.server = "\\\\SRV";
    everything.baseName = "Office";
    EXPECT_EQ(PrinterImageIndex(everything), 7);
    EXPECT_THAT(PrinterColumnTexts(everything, texts), ElementsAre("Copy", "Veneer", "\\\\SRV", "Oui", "Non", "Office"));
    everything.isDefault = false;
    everything.baseName.clear();
    EXPECT_EQ(PrinterImageIndex(everything), 2);
}

TEST(DetailsLists, RowsSplitAtCommasIntoTheColumns)
{
    EXPECT_THAT(DetailsRowsOf({}, 3), ElementsAre(ElementsAre("(empty)")));
    EXPECT_THAT(DetailsRowsOf({"WIN.INI,Vivaro,Installed", "SYSTEM.INI,boot"}, 3),
                ElementsAre(ElementsAre("WIN.INI", "Vivaro", "Installed"), ElementsAre("SYSTEM.INI", "boot")));
    // Nothing is lost from a line with more fields than columns.
    EXPECT_THAT(DetailsRowsOf({"a.dll,b,c"}, 1), ElementsAre(ElementsAre("a.dll,b,c")));
    EXPECT_THAT(DetailsRowsOf({"HKLM,\"SOFTWARE\\X\",\"\",1"}, 4),
                ElementsAre(ElementsAre("HKLM", "\"SOFTWARE\\X\"", "\"\"", "1")));

    std::vector<int> codes;
    std::vector<DetailsRow> directories = DirectoryVariableRows([&](int code) {
        codes.push_back(code);
        return "D" + std::to_string(code) + "\\";
    });
    EXPECT_THAT(codes, ElementsAre(3, 4, 33, 28, 29, 26, 27));
    EXPECT_THAT(directories[2], ElementsAre("COLORDIR", "D33\\"));
    EXPECT_THAT(directories[6], ElementsAre("PRINTDRIVERDIR_W40", "D27\\"));

    ASSERT_EQ(DetailsChoices().size(), 12u);
    EXPECT_FALSE(FindDetailsChoice(1109)->list.has_value());
    EXPECT_EQ(FindDetailsChoice(1103)->columns.size(), 4u);
    EXPECT_EQ(FindDetailsChoice(1108), nullptr);
}

TEST(DetailsLists, SingleProfileAndTitles)
{
    UninstallDatabase database(3);
    MemoryScriptStorage storage;
    storage.files["s.unm"] =
        "[UnPrinterMfgs]\n\"ARVEL\",MFG,1\n"
        "[UnPrinterDrivers]\n\"ARVEL Vivaro 5320MF\",V,2\n";
    ASSERT_EQ(database.ReadScript("s.unm", storage), ScriptReadResult::Read);

    std::vector<InstalledPrinter> printers = {Printer("One", "ARVEL Vivaro 5320MF"), Printer("Two", "ARVEL Other"),
                                              Printer("Three", "Foreign Drv")};
    printers[2].ours = false;
    printers[2].DeriveForeign();
    // Everything offered is selected: two printers, the foreign one never counts.
    EXPECT_EQ(SingleSelectedPrinter(printers), nullptr);
    printers[1].keep = true;
    ASSERT_EQ(SingleSelectedPrinter(printers), &printers[0]);

    EXPECT_EQ(DetailsTitle(true, ProfileOfPrinter(database, printers[0])), "Extra Info - Printer: ARVEL Vivaro 5320MF");
    EXPECT_EQ(DetailsTitle(true, ProfileOfPrinter(database, printers[1])), "Extra Info - Mfg: ARVEL");
    EXPECT_EQ(DetailsTitle(true, ProfileOfPrinter(database, printers[2])), "Extra Info - EMPTY AND UNKNOWN SETTINGS!!!");
    EXPECT_EQ(DetailsTitle(false, ProfileOfPrinter(database, printers[0])), "Extra Info - Multiple Printers");
}
