#pragma once

#include "RemovalLines.h"
#include "RemovalSteps.h"

// What the phases need of the removal panel's window.
class RemovalPanelView {
 public:
  virtual ~RemovalPanelView() = default;
  virtual void showBusyCursor() = 0;
  virtual void paintLines(const RemovalLinesSnapshot& lines) = 0;
  virtual void bringToFront() = 0;
  virtual void stopPhaseTimer() = 0;
  virtual void restoreCursor() = 0;
  // Posts WM_CLOSE and message 1129 to the main window.
  virtual void announceFinished() = 0;
};

enum class TickOutcome {
  Ran,         // a phase ran
  Busy,        // a phase is still running further up the stack
  NotRunning,  // the phases have not started or are over
};

// The eighteen removal phases, one per timer tick. The window's timer only
// calls tick(); everything else about the sequence lives here.
class RemovalPhaseMachine {
 public:
  static constexpr int kLastPhase = 17;
  static constexpr int kLastLine = 9;

  RemovalPhaseMachine(RemovalSteps& steps, RemovalPanelView& view) : steps_(steps), view_(view) {}

  // Phase 0, first line; the caller starts the timer afterwards.
  void start();
  TickOutcome tick();

  int phase() const { return phase_; }
  int highlightedLine() const { return highlightedLine_; }
  bool animating() const { return animating_; }
  bool running() const { return running_; }
  // Between the spooler stop of phase 8 and the start of phase 16.
  bool holdsSpoolerStopped() const { return running_ && phase_ > 8 && phase_ <= 16; }

 private:
  void runPhase();
  // Paints the lines with the current highlight, then moves it on.
  void redraw();
  void redrawFrom(int line);

  RemovalSteps& steps_;
  RemovalPanelView& view_;
  int phase_ = 0;
  int highlightedLine_ = 0;
  bool animating_ = false;
  bool running_ = false;
  // A message box inside a phase pumps messages, so a later tick can
  // arrive before the phase has returned.
  bool insidePhase_ = false;
};
