#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "RemovalPhaseMachine.h"

namespace {

// Records every step and view call in one journal so that the order
// within a tick is checked as well as the order of the ticks.
class Journal {
 public:
  std::vector<std::string> entries;
  void add(std::string entry) { entries.push_back(std::move(entry)); }
};

// A step that waits stays for as many ticks as are left, one less each.
bool takeTick(int& ticksLeft) {
  if (ticksLeft == 0) return false;
  --ticksLeft;
  return true;
}

class RecordingSteps : public RemovalSteps {
 public:
  explicit RecordingSteps(Journal& journal) : journal_(journal) {}
  int maskingToolTicksLeft = 0;
  int lastPrinterMaskingToolTicksLeft = 0;
  int spoolerStopTicksLeft = 0;
  std::function<void()> duringPrinters;

  void buildDirectoryLists() override { journal_.add("dirs"); }
  void buildRemovalPlan() override { journal_.add("plan"); }
  MaskingToolState maskingToolStep() override {
    journal_.add("mask");
    return takeTick(maskingToolTicksLeft) ? MaskingToolState::Running : MaskingToolState::Finished;
  }
  MaskingToolState maskingToolStepAfterPrinters() override {
    journal_.add("mask-after-printers");
    return takeTick(lastPrinterMaskingToolTicksLeft) ? MaskingToolState::Running : MaskingToolState::Finished;
  }
  void removePrinters() override {
    journal_.add("printers");
    if (duringPrinters) duringPrinters();
  }
  void removeDrivers() override { journal_.add("drivers"); }
  void removeMonitors() override { journal_.add("monitors"); }
  void callHooks() override { journal_.add("hooks"); }
  void removePrintProcessors() override { journal_.add("processors"); }
  void removeServices() override { journal_.add("services"); }
  void stopSpooler() override { journal_.add("spooler-stop"); }
  void addPackageDirectories() override { journal_.add("package-dirs"); }
  void removeShortcuts() override { journal_.add("shortcuts"); }
  void removeIniEntries() override { journal_.add("ini"); }
  void removeStartupEntries() override { journal_.add("startup"); }
  void removeFiles() override { journal_.add("files"); }
  void removeRegistryEntries() override { journal_.add("registry"); }
  SpoolerStart startSpooler() override {
    journal_.add("spooler-start");
    return takeTick(spoolerStopTicksLeft) ? SpoolerStart::Waiting : SpoolerStart::Done;
  }
  void finishRemoval() override { journal_.add("finish"); }

 private:
  Journal& journal_;
};

// Paints are journalled as the current line ("paint 3"), or "paint -"
// when no line is current; each snapshot is kept for closer checks.
class RecordingView : public RemovalPanelView {
 public:
  explicit RecordingView(Journal& journal) : journal_(journal) {}
  std::vector<RemovalLinesSnapshot> paints;

  void showBusyCursor() override { ++busyCursorCalls; }
  void paintLines(const RemovalLinesSnapshot& lines) override {
    paints.push_back(lines);
    std::string current = "-";
    for (std::size_t i = 0; i < lines.size(); ++i)
      if (lines[i].icon == LineIcon::Current) current = std::to_string(i);
    journal_.add("paint " + current);
  }
  void bringToFront() override { journal_.add("front"); }
  void stopPhaseTimer() override { journal_.add("stop-timer"); }
  void restoreCursor() override { journal_.add("restore-cursor"); }
  void announceFinished() override { journal_.add("finished"); }
  int busyCursorCalls = 0;

 private:
  Journal& journal_;
};

struct PhaseRig {
  Journal journal;
  RecordingSteps steps{journal};
  RecordingView view{journal};
  RemovalPhaseMachine machine{steps, view};

  std::vector<std::string> tickAndTake() {
    journal.entries.clear();
    machine.tick();
    return journal.entries;
  }
};

using Entries = std::vector<std::string>;

TEST(RemovalPhaseMachine, RunsTheEighteenPhasesInOrderWithTheirRedraws) {
  PhaseRig rig;
  EXPECT_EQ(rig.machine.tick(), TickOutcome::NotRunning);
  rig.machine.start();
  EXPECT_EQ(rig.journal.entries, (Entries{"dirs", "paint -"}));
  EXPECT_EQ(rig.machine.phase(), 0);

  const std::vector<Entries> expected = {
      {"paint -", "plan", "paint 1"},    // 0: the first redraw is not animated yet
      {"mask", "paint 1"},               // 1
      {"paint 2"},                       // 2
      {"printers", "paint 3"},           // 3
      {"mask-after-printers", "drivers", "paint 4"},  // 4
      {"monitors", "hooks", "paint 5"},  // 5
      {"processors", "paint 6"},         // 6
      {"services"},                      // 7
      {"spooler-stop", "paint 7"},       // 8
      {"package-dirs"},                  // 9
      {"shortcuts", "front"},            // 10
      {},                                // 11
      {"ini"},                           // 12
      {"startup", "paint 8"},            // 13
      {"files"},                         // 14
      {"registry", "paint -"},           // 15: every line done
      {"spooler-start"},                 // 16
      {"stop-timer", "restore-cursor", "finish", "finished"},  // 17
  };
  for (std::size_t phase = 0; phase < expected.size(); ++phase) {
    EXPECT_EQ(rig.machine.phase(), static_cast<int>(phase));
    EXPECT_EQ(rig.tickAndTake(), expected[phase]) << "phase " << phase;
  }
  EXPECT_FALSE(rig.machine.running());
  EXPECT_EQ(rig.view.busyCursorCalls, 17);
  EXPECT_EQ(rig.tickAndTake(), Entries{});
  EXPECT_EQ(rig.machine.tick(), TickOutcome::NotRunning);

  const RemovalLinesSnapshot& allDone = rig.view.paints.back();
  for (const LineAppearance& line : allDone) EXPECT_EQ(line, (LineAppearance{LineIcon::Done, false}));
}

TEST(RemovalPhaseMachine, StaysInPhaseOneWhileTheMaskingToolRuns) {
  PhaseRig rig;
  rig.steps.maskingToolTicksLeft = 3;
  rig.machine.start();
  rig.machine.tick();
  for (int tick = 0; tick < 3; ++tick) {
    EXPECT_EQ(rig.tickAndTake(), (Entries{"mask", "paint 1"}));
    EXPECT_EQ(rig.machine.phase(), 1);
  }
  EXPECT_EQ(rig.tickAndTake(), (Entries{"mask", "paint 1"}));
  EXPECT_EQ(rig.machine.phase(), 2);
  EXPECT_EQ(rig.tickAndTake(), (Entries{"paint 2"}));
}

// The run that only the removal of the last printer asks for: after the
// printers, before the drivers, without redraws while it runs.
TEST(RemovalPhaseMachine, TheDriversWaitForAMaskingToolStartedAfterThePrinters) {
  PhaseRig rig;
  rig.steps.lastPrinterMaskingToolTicksLeft = 2;
  rig.machine.start();
  for (int phase = 0; phase < 4; ++phase) rig.machine.tick();
  for (int tick = 0; tick < 2; ++tick) {
    EXPECT_EQ(rig.tickAndTake(), (Entries{"mask-after-printers"}));
    EXPECT_EQ(rig.machine.phase(), 4);
  }
  EXPECT_EQ(rig.tickAndTake(), (Entries{"mask-after-printers", "drivers", "paint 4"}));
  EXPECT_EQ(rig.machine.phase(), 5);
}

// The phases hold the spooler stopped from phase 8 until phase 16 has
// started it, which waits for the stop to have completed.
TEST(RemovalPhaseMachine, PhaseSixteenWaitsForTheStopAndEndsTheSpoolerHold) {
  PhaseRig rig;
  rig.steps.spoolerStopTicksLeft = 2;
  rig.machine.start();
  std::vector<int> held;  // the phases that run with the spooler held stopped
  for (int tick = 0; tick < 20 && rig.machine.running(); ++tick) {
    if (rig.machine.holdsSpoolerStopped()) held.push_back(rig.machine.phase());
    rig.machine.tick();
  }
  EXPECT_EQ(held, (std::vector<int>{9, 10, 11, 12, 13, 14, 15, 16, 16, 16}));
}

TEST(RemovalPhaseMachine, ATickInsideARunningPhaseReturnsAtOnce) {
  PhaseRig rig;
  TickOutcome nested = TickOutcome::Ran;
  rig.steps.duringPrinters = [&] { nested = rig.machine.tick(); };
  rig.machine.start();
  for (int phase = 0; phase < 3; ++phase) rig.machine.tick();
  EXPECT_EQ(rig.tickAndTake(), (Entries{"printers", "paint 3"}));
  EXPECT_EQ(nested, TickOutcome::Busy);
  EXPECT_EQ(rig.machine.phase(), 4);
}

TEST(RemovalLines, CurrentLineIsBoldAndTheLinesAboveAreDone) {
  RemovalLinesSnapshot lines = removalLinesSnapshot(true, 4);
  for (int line = 0; line < 4; ++line) EXPECT_EQ(lines[line], (LineAppearance{LineIcon::Done, false})) << line;
  EXPECT_EQ(lines[4], (LineAppearance{LineIcon::Current, true}));
  for (int line = 5; line < 9; ++line) EXPECT_EQ(lines[line], (LineAppearance{LineIcon::Pending, false})) << line;

  for (const LineAppearance& line : removalLinesSnapshot(false, 4))
    EXPECT_EQ(line, (LineAppearance{LineIcon::Pending, false}));
}

}  // namespace
