#include "SpoolerObjectRemoval.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "FakeRemovalPlatform.h"

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::IsSupersetOf;
using ::testing::Not;

namespace {

class SpoolerObjects : public ::testing::Test {
 protected:
  void run(OsInfo os, void (SpoolerObjectRemoval::*phase)()) {
    RemovalContext context = machine.context(database, os);
    SpoolerObjectRemoval removal(context);
    (removal.*phase)();
  }
  void addPrinter(const InstalledPrinter& installed) {
    database.Printers().push_back(installed);
    machine.spooler.printers.push_back(fake::Printer{installed.name});
  }
  const std::vector<std::string>& planKeys() { return database.RemovalPlan().Items(ItemList::RegistryKeys); }

  fake::Machine machine;
  UninstallDatabase database;
};

TEST_F(SpoolerObjects, AQueueWithPendingJobsIsEmptiedThenDeletedWithItsTraces) {
  addPrinter(fake::printer("Office", "Drv"));
  machine.spooler.printers[0].jobs = {7, 8};
  machine.spooler.printers[0].data["UniqueID"] = "{ID-1}";
  machine.registry.addKey("HKCR\\{ID-1}\\DefaultIcon");
  machine.registry.addKey("HKCR\\{ID-1}\\Shell");
  machine.registry.setValue("HKCU\\Printers\\Settings", "Office", "x");
  machine.registry.setValue("HKCU\\Printers\\Settings", "Other", "x");

  run(fake::ntFamily(), &SpoolerObjectRemoval::removePrinters);

  EXPECT_THAT(machine.spooler.log, ElementsAre("job Office 7 3", "job Office 7 5", "job Office 8 3", "job Office 8 5",
                                               "delete printer Office"));
  EXPECT_TRUE(database.Printers()[0].removed);
  EXPECT_FALSE(machine.registry.hasKey("HKCR\\{ID-1}"));
  EXPECT_FALSE(machine.registry.hasValue("HKCU\\Printers\\Settings", "Office"));
  EXPECT_TRUE(machine.registry.hasValue("HKCU\\Printers\\Settings", "Other"));
  EXPECT_TRUE(planKeys().empty()) << "the key items are for consumer Windows";
  EXPECT_TRUE(machine.notices.shown.empty());
}

TEST_F(SpoolerObjects, OnConsumerWindowsTheIdComesFromTheRegistryAndTheKeysGoToThePlan) {
  addPrinter(fake::printer("Office", "Drv"));
  const std::string driverData = "HKLM\\System\\CurrentControlSet\\control\\Print\\Printers\\Office\\PrinterDriverData";
  machine.registry.setValue(driverData, "UniqueID", "{ID-2}");
  machine.registry.addKey("HKCR\\{ID-2}");
  machine.registry.setValue("HKCU\\Printers\\Settings", "Office", "x");

  run(fake::consumerWindows(), &SpoolerObjectRemoval::removePrinters);

  EXPECT_FALSE(machine.registry.hasKey("HKCR\\{ID-2}"));
  EXPECT_TRUE(machine.registry.hasValue("HKCU\\Printers\\Settings", "Office")) << "per-user values: NT family only";
  EXPECT_THAT(planKeys(),
              ElementsAre("HKLM,\"System\\CurrentControlSet\\control\\Print\\Printers\\Office,\"\"",
                          "HKLM,\"System\\CurrentControlSet\\control\\Print\\Printers\\Office\\PrinterDriverData,\"\""));
}

TEST_F(SpoolerObjects, AnUnusableUniqueIdNeverReachesBeyondItsOwnKey) {
  addPrinter(fake::printer("Empty", "Drv"));
  addPrinter(fake::printer("Nested", "Drv"));
  machine.spooler.printers[0].data["UniqueID"] = "";
  machine.spooler.printers[1].data["UniqueID"] = "CLSID\\{X}";
  machine.registry.addKey("HKCR\\.txt");
  machine.registry.addKey("HKCR\\CLSID\\{X}");

  run(fake::ntFamily(), &SpoolerObjectRemoval::removePrinters);

  EXPECT_TRUE(machine.registry.hasKey("HKCR\\.txt"));
  EXPECT_TRUE(machine.registry.hasKey("HKCR\\CLSID\\{X}"));
  EXPECT_EQ(2, std::count_if(machine.trace.begin(), machine.trace.end(),
                             [](const std::string& line) { return line.find("refused: UniqueID") != std::string::npos; }));
}

TEST_F(SpoolerObjects, AClassesRootSubKeyThatWillNotGoEndsTheLoop) {
  addPrinter(fake::printer("Office", "Drv"));
  machine.spooler.printers[0].data["UniqueID"] = "{ID}";
  machine.registry.addKey("HKCR\\{ID}\\Deep\\Deeper");

  run(fake::ntFamily(), &SpoolerObjectRemoval::removePrinters);

  EXPECT_TRUE(machine.registry.hasKey("HKCR\\{ID}\\Deep\\Deeper")) << "one level only";
  EXPECT_TRUE(database.Printers()[0].removed);
}

TEST_F(SpoolerObjects, APrinterThatDoesNotOpenCountsAsRemovedOneThatWillNotDeleteDoesNot) {
  addPrinter(fake::printer("Gone", "Drv"));
  addPrinter(fake::printer("Stuck", "Drv"));
  machine.spooler.printers[0].opens = false;
  machine.spooler.printers[1].deletable = false;

  run(fake::ntFamily(), &SpoolerObjectRemoval::removePrinters);

  EXPECT_TRUE(database.Printers()[0].removed);
  EXPECT_FALSE(database.Printers()[1].removed);
}

// A printer that stays keeps what it needs: its class key, the user's
// values for it and, on consumer Windows, its spooler keys.
TEST_F(SpoolerObjects, APrinterThatWillNotDeleteKeepsItsTraces) {
  for (OsInfo os : {fake::ntFamily(), fake::consumerWindows()}) {
    fake::Machine local;
    UninstallDatabase db;
    db.Printers().push_back(fake::printer("Stuck", "Drv"));
    local.spooler.printers.push_back(fake::Printer{"Stuck"});
    local.spooler.printers[0].deletable = false;
    local.spooler.printers[0].data["UniqueID"] = "{ID-3}";
    local.registry.setValue("HKLM\\System\\CurrentControlSet\\control\\Print\\Printers\\Stuck\\PrinterDriverData",
                            "UniqueID", "{ID-3}");
    local.registry.addKey("HKCR\\{ID-3}");
    local.registry.setValue("HKCU\\Printers\\Settings", "Stuck", "x");

    RemovalContext context = local.context(db, os);
    SpoolerObjectRemoval(context).removePrinters();

    EXPECT_FALSE(db.Printers()[0].removed);
    EXPECT_TRUE(local.registry.hasKey("HKCR\\{ID-3}"));
    EXPECT_TRUE(local.registry.hasValue("HKCU\\Printers\\Settings", "Stuck"));
    EXPECT_TRUE(db.RemovalPlan().Items(ItemList::RegistryKeys).empty());
  }
}

TEST_F(SpoolerObjects, ANetworkConnectionIsDeletedByName) {
  InstalledPrinter connection = fake::printer("\\\\srv\\Lab", "Drv", false, true);
  connection.server = "\\\\srv";
  database.Printers().push_back(connection);
  machine.spooler.connections.insert("\\\\srv\\Lab");

  run(fake::ntFamily(), &SpoolerObjectRemoval::removePrinters);

  EXPECT_TRUE(database.Printers()[0].removed);
  EXPECT_THAT(machine.spooler.log, ElementsAre("delete connection \\\\srv\\Lab"));
  EXPECT_THAT(machine.notices.shown, ElementsAre("Uninstall: no printer left"));
}

// The last staying printer in list order replaces a deleted default; how
// the change is written and announced depends on the platform.
TEST_F(SpoolerObjects, ADeletedDefaultIsReplacedByTheLastStayingPrinter) {
  struct Case {
    OsInfo os;
    const char* device;  // the profile's "device" entry afterwards
    SettingChangeBroadcast broadcast;
  } cases[] = {
      {fake::ntFamily(), "Kept B,winspool,LPT2:", SettingChangeBroadcast::NoSectionTimeout},
      {fake::consumerWindows(), "", SettingChangeBroadcast::WindowsSectionTimeout},
      {fake::platformClass1(), "Kept B,ZDRV,LPT2:", SettingChangeBroadcast::Plain},
  };
  for (const Case& c : cases) {
    fake::Machine local;
    UninstallDatabase db;
    for (const InstalledPrinter& p : {fake::printer("Kept A", "X", true), fake::printer("Office", "Drv", false, true),
                                      fake::printer("Kept B", "X", true)}) {
      db.Printers().push_back(p);
      local.spooler.printers.push_back(fake::Printer{p.name});
    }
    local.spooler.printers[2].port = "LPT2:";
    local.spooler.printers[2].driverFile = "C:\\WINDOWS\\SYSTEM\\ZDRV.DRV";
    RemovalContext context = local.context(db, c.os);
    SpoolerObjectRemoval(context).removePrinters();

    SCOPED_TRACE(c.device);
    EXPECT_THAT(local.notices.shown, ElementsAre("Uninstall: new default 'Kept B'"));
    EXPECT_TRUE(local.spooler.printers[2].defaultAttribute);
    EXPECT_TRUE(db.Printers()[2].isDefault);
    EXPECT_FALSE(db.Printers()[1].isDefault);
    EXPECT_EQ(c.device, local.profiles.readUserString("windows", "device", 255));
    EXPECT_THAT(local.profiles.broadcasts, ElementsAre(c.broadcast));
  }
}

TEST_F(SpoolerObjects, OnPlatformClass1WithoutADriverFileThePrintProcessorNamesTheDriver) {
  addPrinter(fake::printer("Office", "Drv", true));
  machine.spooler.printers[0].printProcessor = "LPRINT";
  RemovalContext context = machine.context(database, fake::platformClass1());
  EXPECT_TRUE(SpoolerObjectRemoval(context).makeDefaultPrinter("Office"));
  EXPECT_EQ("Office,LPRINT,LPT1:", machine.profiles.readUserString("windows", "device", 255));
}

TEST_F(SpoolerObjects, WithNoPrinterLeftTheDefaultMessageSaysSo) {
  addPrinter(fake::printer("Office", "Drv", false, true));
  run(fake::ntFamily(), &SpoolerObjectRemoval::removePrinters);
  EXPECT_THAT(machine.notices.shown, ElementsAre("Uninstall: no printer left"));
  EXPECT_TRUE(machine.profiles.broadcasts.empty());
}

TEST_F(SpoolerObjects, TheDeleteSetTakesPlanDriversAndGoingPrintersButSparesDriversInUse) {
  database.Printers() = {fake::printer("Going", "Shared"), fake::printer("Kept", "Shared", true),
                         fake::printer("Alone", "Solo"), fake::printer("Stay", "Other", true)};
  database.Printers()[0].removed = true;  // as phase 3 leaves them
  database.Printers()[2].removed = true;
  database.MutableRemovalPlan().AddItem(ItemList::Drivers, "Planned");
  for (const char* environment : {"local", "Windows NT x86", "Windows 4.0"})
    machine.spooler.drivers[environment] = {"Shared", "Solo", "Planned", "Other", "Foreign"};

  run(fake::ntFamily(), &SpoolerObjectRemoval::removeDrivers);

  EXPECT_THAT(machine.spooler.log,
              ElementsAre("delete driver local Solo", "delete driver local Planned", "delete driver Windows NT x86 Solo",
                          "delete driver Windows NT x86 Planned", "delete driver Windows 4.0 Solo",
                          "delete driver Windows 4.0 Planned"));
  EXPECT_THAT(planKeys(),
              IsSupersetOf({"HKLM,\"SYSTEM\\CurrentControlSet\\Control\\Print\\Environments\\Windows NT "
                            "x86\\Drivers\\Version-0\\Solo\",\"\",0",
                            "HKLM,\"SYSTEM\\CurrentControlSet\\Control\\Print\\Environments\\Windows NT "
                            "x86\\Drivers\\Version-3\\Planned\",\"\",0",
                            "HKLM,\"SYSTEM\\CurrentControlSet\\Control\\Print\\Environments\\Windows "
                            "4.0\\Drivers\\Version-2\\Solo\",\"\",0"}));
  EXPECT_EQ(16u, planKeys().size()) << "local and \"Windows NT x86\" name the same keys";
}

// Whichever rule names a driver, it stays while a printer that is still
// installed uses it (one whose deletion failed included), and its keys go
// only when the spooler deleted it.
TEST_F(SpoolerObjects, ADriverAndItsKeysGoOnlyWhenDeletedAndUnused) {
  InstalledPrinter kept = fake::printer("Kept", "Drv", true);
  InstalledPrinter failed = fake::printer("Failed", "Drv");  // went, but its deletion failed
  InstalledPrinter gone = fake::printer("Gone", "Drv");
  gone.removed = true;
  InstalledPrinter foreign = fake::printer("Other", "Drv");
  foreign.ours = false;
  foreign.DeriveForeign();
  struct Case {
    const char* what;
    std::string driver;
    std::vector<InstalledPrinter> printers;
    bool planned;
    bool deletable;
    bool attempted;
    bool keysAdded;
  } cases[] = {
      {"planned, unused", "Drv", {gone}, true, true, true, true},
      {"planned, a kept printer uses it", "Drv", {gone, kept}, true, true, false, false},
      {"planned, a printer whose deletion failed uses it", "Drv", {failed}, true, true, false, false},
      {"of a printer that went, another's whose deletion failed", "Drv", {gone, failed}, false, true, false, false},
      {"of a printer that went, another vendor's uses it", "Drv", {gone, foreign}, false, true, false, false},
      {"of a printer that went, the spooler refuses", "Drv", {gone}, false, false, true, false},
      {"(PSCRIPT), a kept printer uses it", "Mask (PSCRIPT)",
       {fake::printer("Kept", "Mask (PSCRIPT)", true)}, false, true, false, false},
  };
  for (const Case& c : cases) {
    fake::Machine local;
    UninstallDatabase db;
    db.Printers() = c.printers;
    if (c.planned) db.MutableRemovalPlan().AddItem(ItemList::Drivers, c.driver);
    local.spooler.drivers["local"] = {c.driver};
    if (!c.deletable) local.spooler.undeletableDrivers.insert(c.driver);
    RemovalContext context = local.context(db, fake::ntFamily());
    SpoolerObjectRemoval(context).removeDrivers();

    EXPECT_EQ(c.attempted, !local.spooler.log.empty()) << c.what;
    EXPECT_EQ(c.keysAdded, !db.RemovalPlan().Items(ItemList::RegistryKeys).empty()) << c.what;
  }
}

// A removal ended abruptly after its printers went is finished by the next
// run from its record: the masked copy's driver, which no profile names and
// no printer points at any more, goes too; what the first run kept stays.
TEST_F(SpoolerObjects, TheNextRunFinishesAKilledRemovalFromItsRecord) {
  const char script[] = "[UnPrinterDrivers]\nDrv A,A,1\n[A.Files]\na.dll\n";
  InstalledPrinter masked = fake::printer("Office (masked)", "Mask Drv");
  masked.ours = false;
  masked.baseName = "Office";
  fake::loadScript(database, script);
  for (const InstalledPrinter& installed : {fake::printer("Office", "Drv A"), masked, fake::printer("Kept", "Own Drv", true)})
    addPrinter(installed);
  machine.spooler.drivers["local"] = {"Drv A", "Mask Drv", "Own Drv"};
  database.Printers()[1].keep = true;  // not selected: it follows its printer
  database.BuildRemovalPlan();
  const std::string record = FormatRemovalRecord(database.RecordOfRemoval());
  run(fake::ntFamily(), &SpoolerObjectRemoval::removePrinters);
  ASSERT_TRUE(machine.spooler.log.size() == 2u && database.Printers()[1].removed) << "both printers went";

  // The next run lists what is left, and every printer is picked.
  UninstallDatabase next;
  fake::loadScript(next, script);
  next.ResumeUnfinishedRemoval(*ParseRemovalRecord(record));
  next.Printers() = {fake::printer("Kept", "Own Drv"), fake::printer("Newcomer", "Own Drv")};
  next.KeepPrintersOutsideUnfinishedRemoval();
  EXPECT_FALSE(next.Printers()[0].Offered());
  EXPECT_FALSE(next.Printers()[1].Goes()) << "not the unfinished removal's";
  next.BuildRemovalPlan();
  EXPECT_EQ(next.RemovalPlan().Items(ItemList::Files), database.RemovalPlan().Items(ItemList::Files));

  machine.spooler.log.clear();
  RemovalContext context = machine.context(next, fake::ntFamily());
  SpoolerObjectRemoval(context).removeDrivers();
  EXPECT_THAT(machine.spooler.log, ElementsAre("delete driver local Drv A", "delete driver local Mask Drv"));
}

TEST_F(SpoolerObjects, OnConsumerWindowsADeletedDriverAddsItsOneKey) {
  database.MutableRemovalPlan().AddItem(ItemList::Drivers, "Planned");
  machine.spooler.drivers["local"] = {"Planned"};
  run(fake::consumerWindows(), &SpoolerObjectRemoval::removeDrivers);
  EXPECT_THAT(planKeys(), ElementsAre("HKLM,\"System\\CurrentControlSet\\control\\Print\\Environments\\Windows "
                                      "4.0\\Drivers\\Planned\",\"\",0"));
}

TEST_F(SpoolerObjects, APscriptDriverGoesOnlyWithTheMaskingToolAndNoPrinterOfItsName) {
  machine.spooler.drivers["local"] = {"Mask (PSCRIPT)", "Busy (PSCRIPT)"};
  addPrinter(fake::printer("Busy (PSCRIPT)", "X"));
  fake::loadScript(database, "[UnPrinterDrivers]\nVeneer,VEN,1\n[VEN.Files]\nVENEER32.EXE\n");
  database.BuildRemovalPlan();  // the masking tool's executable in the plan: the tool is not kept
  ASSERT_FALSE(database.MaskingToolKept());

  run(fake::ntFamily(), &SpoolerObjectRemoval::removeDrivers);

  EXPECT_THAT(machine.spooler.log, ElementsAre("delete driver local Mask (PSCRIPT)"));
}

TEST_F(SpoolerObjects, MonitorsGoInEveryEnvironmentWithTheirKeyExceptOnPlatformClass1) {
  database.MutableRemovalPlan().AddItem(ItemList::Monitors, "Vivaro Monitor");
  database.MutableRemovalPlan().AddItem(ItemList::Monitors, "..\\Monitors");
  machine.registry.addKey("HKLM\\System\\CurrentControlSet\\control\\Print\\Monitors\\Vivaro Monitor");

  run(fake::ntFamily(), &SpoolerObjectRemoval::removeMonitors);
  EXPECT_FALSE(machine.registry.hasKey("HKLM\\System\\CurrentControlSet\\control\\Print\\Monitors\\Vivaro Monitor"));
  EXPECT_THAT(machine.spooler.log, Contains("delete monitor Windows 4.0 Vivaro Monitor"));
  EXPECT_THAT(machine.registry.log, Not(Contains(::testing::HasSubstr("Monitors\\..\\Monitors"))));

  fake::Machine oldest;
  RemovalContext context = oldest.context(database, fake::platformClass1());
  SpoolerObjectRemoval(context).removeMonitors();
  EXPECT_EQ(6u, oldest.spooler.log.size());
  EXPECT_TRUE(oldest.registry.log.empty());
}

TEST_F(SpoolerObjects, APrintProcessorInUseIsSwitchedToWinPrintThenDeleted) {
  database.MutableRemovalPlan().AddItem(ItemList::PrintProcessors, "ZPROC");
  machine.spooler.processors["local"] = {"WinPrint", "ZPROC"};
  machine.spooler.printers.push_back(fake::Printer{"Staying"});
  machine.spooler.printers[0].printProcessor = "zproc";
  machine.spooler.printers[0].dataType = "NT EMF 1.008";
  machine.registry.addKey("HKLM\\System\\CurrentControlSet\\Control\\Print\\Environments\\Windows NT x86\\Print "
                          "Processors\\ZPROC");

  run(fake::ntFamily(), &SpoolerObjectRemoval::removePrintProcessors);

  EXPECT_EQ("WinPrint", machine.spooler.printers[0].printProcessor);
  EXPECT_EQ("RAW", machine.spooler.printers[0].dataType);
  EXPECT_THAT(machine.spooler.log, ElementsAre("delete processor local ZPROC"));
  EXPECT_FALSE(machine.registry.hasKey(
      "HKLM\\System\\CurrentControlSet\\Control\\Print\\Environments\\Windows NT x86\\Print Processors\\ZPROC"));
}

TEST_F(SpoolerObjects, APrintProcessorStaysWhileAPrinterCannotBeMovedOffIt) {
  database.MutableRemovalPlan().AddItem(ItemList::PrintProcessors, "ZPROC");
  machine.spooler.processors["Windows 4.0"] = {"ZPROC"};
  machine.spooler.printers.push_back(fake::Printer{"Stubborn"});
  machine.spooler.printers[0].printProcessor = "ZPROC";
  machine.spooler.printers[0].movable = false;

  run(fake::consumerWindows(), &SpoolerObjectRemoval::removePrintProcessors);

  EXPECT_TRUE(machine.spooler.log.empty());
  EXPECT_TRUE(machine.registry.log.empty());
}

}  // namespace
