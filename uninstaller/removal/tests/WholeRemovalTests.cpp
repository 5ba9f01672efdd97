// The eighteen phases with the program's removal steps over the fake
// machine: what a removal takes depends on what is still installed once
// the printers' phase is over, not only on what was chosen.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "FakeRemovalPlatform.h"
#include "FakeToolAndRestart.h"
#include "RemovalPhaseMachine.h"
#include "SystemRemovalSteps.h"

namespace {

const char kDriver[] = "ARVEL Vivaro 5320MF";
const char kPscriptDriver[] = "Mask (PSCRIPT)";
const char kSystem[] = "C:\\WINDOWS\\SYSTEM32\\";

const char kScript[] =
    "[UnPrinterDrivers]\n"
    "ARVEL Vivaro 5320MF,A,1\n"
    "Veneer,VEN,1\n"
    "[Unz_CatchAll]\n"
    "Catch,C,1\n"
    "[A.Files]\na.dll\n"
    "[VEN.Files]\nVENEER32.EXE\n"
    "[C.Files]\ncommon.dll\n";

const char* const kMakerKeys[] = {
    "HKLM\\SOFTWARE\\ARVEL NORVANE\\OEM_Z",
    "HKLM\\SOFTWARE\\ARVEL NORVANE\\XSR32__Z",
    "HKLM\\SOFTWARE\\ARVEL NORVANE\\Filters",
    "HKLM\\SOFTWARE\\ARVEL NORVANE",
};

class QuietPanel : public RemovalPanelView {
 public:
  void showBusyCursor() override {}
  void paintLines(const RemovalLinesSnapshot&) override {}
  void bringToFront() override {}
  void stopPhaseTimer() override {}
  void restoreCursor() override {}
  void announceFinished() override {}
};

// Two printers of the package, both chosen; the script's files, the
// maker's keys and the masking tool are on the machine.
struct PackageMachine {
  fake::Machine machine;
  fake::MaskingTool tool;
  fake::Restart restart;
  std::unique_ptr<UninstallDatabase> database = std::make_unique<UninstallDatabase>(3);

  PackageMachine() {
    fake::loadScript(*database, kScript);
    database->ApplyMaskingToolChoice(false);
    for (const char* name : {"Office", "Lab"}) {
      database->Printers().push_back(fake::printer(name, kDriver));
      machine.spooler.printers.push_back(fake::Printer{name});
    }
    machine.spooler.drivers["local"] = {kDriver, kPscriptDriver};
    for (const char* file : {"a.dll", "common.dll", "Xunz___Z.unm", "VENEER32.EXE", "ZRESTART.EXE"})
      machine.files.addFile(std::string(kSystem) + file);
    for (const char* key : kMakerKeys) machine.registry.addKey(key);
    tool.directories = {"C:\\Tool"};
    tool.files = {"C:\\Tool\\VENEER32.EXE"};
  }

  // The phases up to endAfterPhase, as if the program were then ended
  // abruptly; to their end by default.
  void runPhases(int endAfterPhase = RemovalPhaseMachine::kLastPhase) {
    SystemRemovalSteps steps(machine.context(*database, fake::ntFamily()), nullptr, tool, restart, [] { return false; });
    QuietPanel panel;
    RemovalPhaseMachine phases(steps, panel);
    phases.start();
    for (int tick = 0; tick < 100 && phases.running() && phases.phase() <= endAfterPhase; ++tick) phases.tick();
    ASSERT_EQ(endAfterPhase == RemovalPhaseMachine::kLastPhase, !phases.running());
  }

  // The next run, as its loading leaves it: the scripts read, the record
  // of the unfinished removal taken up, the printers still installed.
  void startNextRun() {
    database = std::make_unique<UninstallDatabase>(3);
    fake::loadScript(*database, kScript);
    database->ApplyMaskingToolChoice(false);
    std::optional<RemovalRecord> record =
        ParseRemovalRecord(machine.files.contents(machine.directoryFor(26) + kRemovalRecordName));
    ASSERT_TRUE(record.has_value());
    database->ResumeUnfinishedRemoval(std::move(*record));
    for (const fake::Printer& installed : machine.spooler.printers)
      if (installed.opens) database->Printers().push_back(fake::printer(installed.name, kDriver));
    database->KeepPrintersOutsideUnfinishedRemoval();
  }

  bool fullRemovalItemsGone() const {
    bool gone = true;
    for (const char* file : {"common.dll", "Xunz___Z.unm", "VENEER32.EXE", "ZRESTART.EXE"})
      gone = gone && !machine.files.has(std::string(kSystem) + file);
    for (const char* key : kMakerKeys) gone = gone && !machine.registry.hasKey(key);
    return gone && deleted(std::string("delete driver local ") + kPscriptDriver) && !tool.started.empty();
  }
  bool fullRemovalItemsThere() const {
    bool there = true;
    for (const char* file : {"common.dll", "Xunz___Z.unm", "VENEER32.EXE", "ZRESTART.EXE"})
      there = there && machine.files.has(std::string(kSystem) + file);
    for (const char* key : kMakerKeys) there = there && machine.registry.hasKey(key);
    return there && !deleted(std::string("delete driver local ") + kPscriptDriver) && tool.started.empty();
  }

  bool deleted(const std::string& line) const {
    const std::vector<std::string>& log = machine.spooler.log;
    return std::find(log.begin(), log.end(), line) != log.end();
  }
};

// Whatever the selection planned, the scripts, the maker's keys, the
// catch-all profile, the masking tool's run with " /d", the "(PSCRIPT)"
// drivers and ZRESTART.EXE go only when no printer of the package is left
// once the printers' phase is over: a printer whose deletion failed stays,
// and it must be possible to uninstall it later.
TEST(WholeRemoval, WhatOnlyTheLastPrinterTakesWaitsForThePrintersToBeGone) {
  for (const bool labDeletes : {true, false}) {
    SCOPED_TRACE(labDeletes ? "every printer deleted" : "Lab's deletion fails");
    PackageMachine rig;
    rig.machine.spooler.printers[1].deletable = labDeletes;
    bool printersGoneBeforeTool = false;
    rig.tool.onStart = [&] { printersGoneBeforeTool = rig.deleted("delete printer Office"); };

    rig.runPhases();

    const bool noPrinterStays = labDeletes;
    EXPECT_FALSE(rig.machine.files.has(std::string(kSystem) + "a.dll")) << "the selection's own items go";
    for (const char* file : {"common.dll", "Xunz___Z.unm", "VENEER32.EXE", "ZRESTART.EXE"})
      EXPECT_EQ(noPrinterStays, !rig.machine.files.has(std::string(kSystem) + file)) << file;
    for (const char* key : kMakerKeys) EXPECT_EQ(noPrinterStays, !rig.machine.registry.hasKey(key)) << key;
    EXPECT_EQ(noPrinterStays, rig.deleted(std::string("delete driver local ") + kPscriptDriver));
    EXPECT_EQ(noPrinterStays ? std::vector<std::string>{"C:\\Tool\\VENEER32.EXE /d"} : std::vector<std::string>{},
              rig.tool.started);
    EXPECT_EQ(noPrinterStays, printersGoneBeforeTool) << "the tool's run waits for the printers' phase";
    EXPECT_FALSE(rig.machine.files.has(rig.machine.directoryFor(26) + kRemovalRecordName)) << "the removal ended";
  }
}

// A removal in which a printer's deletion failed and which then ended
// abruptly: the record written before the printers' phase still holds
// what only the last printer takes apart, and the run that finishes the
// removal takes it only if that printer goes this time.
TEST(WholeRemoval, ARunFinishingTheRecordedRemovalTakesTheLastPrintersItemsOnlyOnceNoPrinterStays) {
  for (const bool labDeletesNextTime : {false, true}) {
    SCOPED_TRACE(labDeletesNextTime ? "Lab deleted by the next run" : "Lab's deletion fails again");
    PackageMachine rig;
    rig.machine.spooler.printers[1].deletable = false;
    rig.runPhases(3);
    ASSERT_TRUE(rig.fullRemovalItemsThere()) << "ended in phase 4, before anything of the full removal went";

    rig.startNextRun();
    ASSERT_EQ(1u, rig.database->Printers().size()) << "only Lab is left";
    rig.machine.spooler.printers[1].deletable = labDeletesNextTime;
    rig.runPhases();

    EXPECT_FALSE(rig.machine.files.has(std::string(kSystem) + "a.dll")) << "the recorded selection goes";
    if (labDeletesNextTime)
      EXPECT_TRUE(rig.fullRemovalItemsGone());
    else
      EXPECT_TRUE(rig.fullRemovalItemsThere());
    EXPECT_FALSE(rig.machine.files.has(rig.machine.directoryFor(26) + kRemovalRecordName)) << "the removal ended";
  }
}

}  // namespace
