#include "MemoryScriptStorage.h"
#include "UninstallDatabase.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

const char kFullScript[] =
    "; written by the installer\n"
    "[UnPrinterMfgs]\n"
    "\"ARVEL NORVANE\",MFG,1\n"
    "[UnPrinterDrivers]\n"
    "\"ARVEL NORVANE Vivaro 5320MF\",V5320,2\n"
    "[CommandlineParam]\n"
    "Other=1\n"
    "[Unz_CatchAll]\n"
    "Catch,CA,3\n"
    "[Unx_Ignore]\n"
    "Shared Driver,IGN,4\n"
    "[V5320.Files]\n"
    "ZV5320.DLL\n"
    "zv5320ui.dll=1\n"
    "[V5320.Monitors]\n"
    "Vivaro Port Monitor\n"
    "[V5320.RegistryKeys]\n"
    "HKLM,\"SOFTWARE\\ARVEL NORVANE\\V5320\",\"\",1\n"
    "[MFG.Services]\n"
    "VivaroSvc\n"
    "[CA.Files]\n"
    "common.dll\n"
    "[IGN.Files]\n"
    "shared.dll\n";

class ScriptReading : public ::testing::Test {
protected:
    ScriptReadResult Read(const std::string& path, const std::string& text)
    {
        storage.files[path] = text;
        return database.ReadScript(path, storage);
    }

    MemoryScriptStorage storage;
    UninstallDatabase database;
};

}  // namespace

TEST_F(ScriptReading, ReadsEveryKindOfProfileWithItsSections)
{
    ASSERT_EQ(Read("C:\\drv\\Xunz___Z.unm", kFullScript), ScriptReadResult::Read);
    ASSERT_EQ(database.Profiles().size(), 4u);
    // Sorted by name: the maker, the driver, catch-all, ignore.
    const UninstallProfile& maker = database.Profiles()[0];
    EXPECT_EQ(maker.displayName, "ARVEL NORVANE");
    EXPECT_TRUE(maker.manufacturer);
    EXPECT_THAT(maker.Items(ItemList::Services), ElementsAre("VivaroSvc"));
    EXPECT_THAT(maker.Items(ItemList::Drivers), IsEmpty());

    const UninstallProfile& driver = database.Profiles()[1];
    EXPECT_EQ(driver.displayName, "ARVEL NORVANE Vivaro 5320MF");
    EXPECT_FALSE(driver.manufacturer || driver.catchAll || driver.ignore);
    EXPECT_EQ(driver.number, 2);
    EXPECT_EQ(driver.prefix, "V5320");
    EXPECT_EQ(driver.scriptPath, "C:\\drv\\Xunz___Z.unm");
    EXPECT_THAT(driver.Items(ItemList::Files), ElementsAre("ZV5320.DLL", "zv5320ui.dll=1"));
    EXPECT_THAT(driver.Items(ItemList::Monitors), ElementsAre("Vivaro Port Monitor"));
    EXPECT_THAT(driver.Items(ItemList::RegistryKeys), ElementsAre("HKLM,\"SOFTWARE\\ARVEL NORVANE\\V5320\",\"\",1"));
    EXPECT_THAT(driver.Items(ItemList::Drivers), ElementsAre("ARVEL NORVANE Vivaro 5320MF"));

    EXPECT_TRUE(database.Profiles()[2].catchAll);
    EXPECT_THAT(database.Profiles()[2].Items(ItemList::Drivers), ElementsAre("Catch"));
    EXPECT_TRUE(database.Profiles()[3].ignore);
    EXPECT_TRUE(database.PickingAllowed());
    EXPECT_FALSE(database.ScannerUninstallRequested());
}

TEST_F(ScriptReading, MissingEmptyAndStarterlessScriptsAreRejectedAndAddNothing)
{
    EXPECT_EQ(database.ReadScript("nowhere.unm", storage), ScriptReadResult::FailedToOpen);
    EXPECT_EQ(Read("empty.unm", ""), ScriptReadResult::FailedToOpen);
    EXPECT_STREQ(ScriptRejectionReason(ScriptReadResult::FailedToOpen), "failed to open file");

    EXPECT_EQ(Read("settings.unm",
                   "[CommandlineParam]\nNOPICK=1\n[UnScannerDriver]\nUninstallScanner=1\nProductGUID={G}\n"
                   "[UnPrinterDrivers]\n indented,P,1\n"),
              ScriptReadResult::NoStarterSections);
    EXPECT_STREQ(ScriptRejectionReason(ScriptReadResult::NoStarterSections), "no starter sections");
    EXPECT_TRUE(database.PickingAllowed());
    EXPECT_FALSE(database.ScannerUninstallRequested());
    EXPECT_THAT(database.Profiles(), IsEmpty());
    EXPECT_THAT(database.ScriptPaths(), IsEmpty());
}

TEST_F(ScriptReading, NopickAboveZeroTurnsPickingOff)
{
    Read("a.unm", "[Unx_Ignore]\nX\n[CommandlineParam]\nNOPICK=0\n");
    EXPECT_TRUE(database.PickingAllowed());
    Read("b.unm", "[Unx_Ignore]\nX\n[CommandlineParam]\nNOPICK=2\n");
    EXPECT_FALSE(database.PickingAllowed());
}

TEST_F(ScriptReading, ScannerRequestNeedsAProductGuidAndStaysOnForLaterScripts)
{
    Read("noguid.unm", "[Unx_Ignore]\nX\n[UnScannerDriver]\nUninstallScanner=1\n");
    EXPECT_FALSE(database.ScannerUninstallRequested());

    Read("guid.unm", "[Unx_Ignore]\nX\n[UnScannerDriver]\nUninstallScanner=1\nProductGUID={1234}\n");
    EXPECT_TRUE(database.ScannerUninstallRequested());
    EXPECT_EQ(database.ScannerProductGuid(), "{1234}");

    int lookups = storage.profileLookups;
    Read("later.unm", "[Unx_Ignore]\nX\n[UnScannerDriver]\nUninstallScanner=0\nProductGUID={5678}\n");
    EXPECT_TRUE(database.ScannerUninstallRequested());
    EXPECT_EQ(database.ScannerProductGuid(), "{5678}");
    EXPECT_EQ(storage.profileLookups, lookups + 1);

    Read("none.unm", "[Unx_Ignore]\nX\n");
    EXPECT_EQ(database.ScannerProductGuid(), "{5678}");
}

TEST_F(ScriptReading, ProductGuidIsCutToItsBuffer)
{
    Read("guid.unm", "[Unx_Ignore]\nX\n[UnScannerDriver]\nUninstallScanner=1\nProductGUID={" + std::string(60, 'A') +
                         "}\n");
    EXPECT_EQ(database.ScannerProductGuid().size(), 39u);
}

TEST_F(ScriptReading, TheProfileReadFirstWinsOverALaterOneOfTheSameName)
{
    Read("1.unm", "[UnPrinterDrivers]\nDrv A,ONE,1\n[ONE.Files]\none.dll\n");
    Read("2.unm", "[UnPrinterDrivers]\ndrv a,TWO,2\nDrv B,TWO,2\n[TWO.Files]\ntwo.dll\n");
    ASSERT_EQ(database.Profiles().size(), 2u);
    EXPECT_EQ(database.Profiles()[0].prefix, "ONE");
    EXPECT_THAT(database.Profiles()[0].Items(ItemList::Files), ElementsAre("one.dll"));
    EXPECT_THAT(database.ScriptPaths(), ElementsAre("1.unm", "2.unm"));
}

TEST_F(ScriptReading, ShortProfileLinesAreReadWithoutSections)
{
    ASSERT_EQ(Read("s.unm", "[UnPrinterDrivers]\n\"Bare Driver\"\n[.Files]\nstray.dll\n"), ScriptReadResult::Read);
    ASSERT_EQ(database.Profiles().size(), 1u);
    EXPECT_EQ(database.Profiles()[0].displayName, "Bare Driver");
    EXPECT_EQ(database.Profiles()[0].number, 0);
    EXPECT_THAT(database.Profiles()[0].Items(ItemList::Files), IsEmpty());
}

TEST_F(ScriptReading, StarterListsStopAt260BytesAndItemListsAt4096)
{
    std::string script = "[UnPrinterDrivers]\n";
    for (int i = 0; i < 30; ++i)
        script += "Driver" + std::to_string(100 + i) + ",P,1\n";  // 14 bytes each with its zero
    script += "[P.Files]\n";
    for (int i = 0; i < 400; ++i)
        script += "file" + std::to_string(1000 + i) + ".dll\n";  // 13 bytes each with its zero
    script += "[P.Hooks]\n" + std::string(300, 'h') + "=x\n";
    Read("big.unm", script);

    EXPECT_EQ(database.Profiles().size(), 18u);  // 18 * 14 + 1 <= 260 < 19 * 14 + 1
    const UninstallProfile& first = database.Profiles()[0];
    EXPECT_EQ(first.Items(ItemList::Files).size(), 315u);  // 315 * 13 + 1 <= 4096 < 316 * 13 + 1
    EXPECT_EQ(first.Items(ItemList::Hooks)[0].size(), 259u);
}

TEST_F(ScriptReading, FindByDriverTakesAnyKindAndByManufacturerTheLastMatch)
{
    Read("a.unm",
         "[UnPrinterMfgs]\nARVEL one,M1,1\nOther,M2,1\nArvel two,M3,1\n"
         "[Unz_CatchAll]\nARVEL Catch,C,1\n");
    UninstallProfile found;
    ASSERT_TRUE(database.FindProfileByDriver("arvel catch", found));
    EXPECT_TRUE(found.catchAll);
    EXPECT_FALSE(database.FindProfileByDriver("ARVEL", found));

    ASSERT_TRUE(database.FindProfileByManufacturer("ARVEL NORVANE Vivaro 5320MF", found));
    EXPECT_EQ(found.displayName, "Arvel two");
    EXPECT_FALSE(database.FindProfileByManufacturer("ARVELX Vivaro", found));
    EXPECT_FALSE(database.FindProfileByManufacturer("Catch", found));
}

TEST_F(ScriptReading, SelectedSetLeavesOutIgnoreProfilesAndTheMaskingToolOnRequest)
{
    Read("a.unm",
         "[UnPrinterDrivers]\nDrv,D,1\nVeneer,V,1\n[Unx_Ignore]\nShared,I,1\n"
         "[D.Files]\ndrv.dll\n[V.Files]\nVENEER32.EXE\ndrv.dll\n[I.Files]\nshared.dll\n");
    database.CollectSelectedSet();
    EXPECT_THAT(database.SelectedSet().Items(ItemList::Files), ElementsAre("drv.dll", "VENEER32.EXE"));
    EXPECT_THAT(database.SelectedSet().Items(ItemList::Drivers), ElementsAre("Drv", "Veneer"));

    database.ApplyMaskingToolChoice(false);
    EXPECT_THAT(database.SelectedSet().Items(ItemList::Files), IsEmpty());
    EXPECT_THAT(database.SelectedSet().Items(ItemList::Drivers), ElementsAre("Drv"));

    database.CollectSelectedSet();
    database.ApplyMaskingToolChoice(true);
    EXPECT_THAT(database.SelectedSet().Items(ItemList::Files), ElementsAre("drv.dll", "VENEER32.EXE"));
    EXPECT_THAT(database.SelectedSet().Items(ItemList::Drivers), ElementsAre("Veneer"));
}
