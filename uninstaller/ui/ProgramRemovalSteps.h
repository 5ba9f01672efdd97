#pragma once

#include "SystemRemovalSteps.h"
#include "ToolAndRestartSteps.h"

// The removal steps as the program runs them: the plan and the steps that
// delete spooler objects, files and registry entries come from
// SystemRemovalSteps; the masking tool, the spooler stop and start and the
// final messages from ToolAndRestartSteps.
class ProgramRemovalSteps : public SystemRemovalSteps {
 public:
  ProgramRemovalSteps(RemovalContext context, TraceWriter trace, ToolAndRestartSteps& toolAndRestart)
      : SystemRemovalSteps(std::move(context), std::move(trace)), toolAndRestart_(toolAndRestart) {}

  MaskingToolState maskingToolStep() override { return toolAndRestart_.maskingToolStep(); }
  MaskingToolState maskingToolStepAfterPrinters() override { return toolAndRestart_.maskingToolStepAfterPrinters(); }
  void stopSpooler() override { toolAndRestart_.stopSpooler(); }
  SpoolerStart startSpooler() override { return toolAndRestart_.startSpooler(); }
  void finishRemoval() override {
    forgetRemovalRecord();
    toolAndRestart_.finishRemoval();
  }

 private:
  ToolAndRestartSteps& toolAndRestart_;
};
