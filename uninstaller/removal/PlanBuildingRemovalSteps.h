#pragma once

#include "PendingRemovalSteps.h"
#include "UninstallDatabase.h"

// The removal steps as far as they exist: phase 0 builds the removal plan
// from the database; every step that deletes something is still pending.
// The printers the plan was built for and the plan itself go to the trace
// in unzplan's form, so that a run can be checked against the tool.
class PlanBuildingRemovalSteps : public PendingRemovalSteps {
 public:
  PlanBuildingRemovalSteps(UninstallDatabase& database, TraceWriter trace)
      : PendingRemovalSteps(trace), database_(database), trace_(std::move(trace)) {}

  void buildRemovalPlan() override;

 private:
  UninstallDatabase& database_;
  TraceWriter trace_;
};
