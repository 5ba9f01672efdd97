#pragma once

#include "CleanupActions.h"
#include "RemovalContext.h"
#include "RemovalPlanTrace.h"
#include "RemovalSteps.h"
#include "SpoolerObjectRemoval.h"

// The removal plan (phase 0) and the steps that delete: spooler objects
// (phases 3 to 6) and the clean-up actions (phases 5 and 7 to 15). The
// masking-tool step, the spooler stop and start and the final messages are
// not among them.
class SystemRemovalSteps : public RemovalSteps {
 public:
  SystemRemovalSteps(RemovalContext context, TraceWriter trace)
      : context_(std::move(context)), trace_(std::move(trace)), spoolerObjects_(context_), cleanup_(context_) {}

  void buildDirectoryLists() override;
  // The plan, and before anything goes, the record of what this removal
  // takes, from which a later run finishes it after an abrupt end.
  void buildRemovalPlan() override;
  // The removal has ended: nothing is left to finish.
  void forgetRemovalRecord();
  void removePrinters() override;
  void removeDrivers() override { spoolerObjects_.removeDrivers(); }
  void removeMonitors() override { spoolerObjects_.removeMonitors(); }
  void callHooks() override { cleanup_.callHooks(); }
  void removePrintProcessors() override { spoolerObjects_.removePrintProcessors(); }
  void removeServices() override { cleanup_.removeServices(); }
  void addPackageDirectories() override { cleanup_.addPackageDirectories(); }
  void removeShortcuts() override { cleanup_.removeShortcuts(); }
  void removeIniEntries() override { cleanup_.removeIniEntries(); }
  void removeStartupEntries() override { cleanup_.removeStartupEntries(); }
  void removeFiles() override { cleanup_.removeFiles(); }
  void removeRegistryEntries() override { cleanup_.removeRegistryEntries(); }

 private:
  std::string removalRecordPath() const;

  RemovalContext context_;
  TraceWriter trace_;
  SpoolerObjectRemoval spoolerObjects_;
  CleanupActions cleanup_;
};
