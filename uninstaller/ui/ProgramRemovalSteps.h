#pragma once

#include "PlanBuildingRemovalSteps.h"
#include "ToolAndRestartSteps.h"

// The removal steps as the program runs them: the plan, the masking tool,
// the spooler stop and start and the final messages; the steps that delete
// spooler objects and files come from PlanBuildingRemovalSteps' base.
class ProgramRemovalSteps : public PlanBuildingRemovalSteps {
 public:
  ProgramRemovalSteps(UninstallDatabase& database, TraceWriter trace, ToolAndRestartSteps& toolAndRestart)
      : PlanBuildingRemovalSteps(database, std::move(trace)), toolAndRestart_(toolAndRestart) {}

  MaskingToolState maskingToolStep() override { return toolAndRestart_.maskingToolStep(); }
  void stopSpooler() override { toolAndRestart_.stopSpooler(); }
  void startSpooler() override { toolAndRestart_.startSpooler(); }
  void finishRemoval() override { toolAndRestart_.finishRemoval(); }

 private:
  ToolAndRestartSteps& toolAndRestart_;
};
