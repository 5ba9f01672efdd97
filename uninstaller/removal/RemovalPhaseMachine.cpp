#include "RemovalPhaseMachine.h"

void RemovalPhaseMachine::start() {
  steps_.buildDirectoryLists();
  phase_ = 0;
  highlightedLine_ = 0;
  animating_ = false;
  running_ = true;
  redraw();
}

TickOutcome RemovalPhaseMachine::tick() {
  if (!running_) return TickOutcome::NotRunning;
  if (insidePhase_) return TickOutcome::Busy;
  insidePhase_ = true;
  runPhase();
  insidePhase_ = false;
  return TickOutcome::Ran;
}

void RemovalPhaseMachine::redraw() {
  view_.paintLines(removalLinesSnapshot(animating_, highlightedLine_));
  if (highlightedLine_ < kLastLine) ++highlightedLine_;
}

void RemovalPhaseMachine::redrawFrom(int line) {
  highlightedLine_ = line;
  redraw();
}

void RemovalPhaseMachine::runPhase() {
  if (phase_ < kLastPhase) view_.showBusyCursor();
  int nextPhase = phase_ + 1;
  switch (phase_) {
    case 0:
      redrawFrom(0);
      animating_ = true;
      steps_.buildRemovalPlan();
      redrawFrom(1);
      break;
    case 1:
      if (steps_.maskingToolStep() == MaskingToolState::Running) nextPhase = 1;
      redrawFrom(1);
      break;
    case 2:
      redrawFrom(2);
      break;
    case 3:
      steps_.removePrinters();
      redrawFrom(3);
      break;
    case 4:
      // A masking-tool run that only the removal of the last printer asks
      // for starts once phase 3 has left no printer; the drivers wait for
      // it to end.
      if (steps_.maskingToolStepAfterPrinters() == MaskingToolState::Running) {
        nextPhase = 4;
        break;
      }
      steps_.removeDrivers();
      redraw();
      break;
    case 5:
      steps_.removeMonitors();
      steps_.callHooks();
      redraw();
      break;
    case 6:
      steps_.removePrintProcessors();
      redraw();
      break;
    case 7:
      steps_.removeServices();
      break;
    case 8:
      steps_.stopSpooler();
      redraw();
      break;
    case 9:
      steps_.addPackageDirectories();
      break;
    case 10:
      steps_.removeShortcuts();
      view_.bringToFront();
      break;
    case 11:
      break;
    case 12:
      steps_.removeIniEntries();
      break;
    case 13:
      steps_.removeStartupEntries();
      redraw();
      break;
    case 14:
      steps_.removeFiles();
      break;
    case 15:
      steps_.removeRegistryEntries();
      redraw();
      break;
    case 16:
      if (steps_.startSpooler() == SpoolerStart::Waiting) nextPhase = 16;
      break;
    default:
      view_.stopPhaseTimer();
      view_.restoreCursor();
      running_ = false;
      steps_.finishRemoval();
      view_.announceFinished();
      return;
  }
  phase_ = nextPhase;
}
