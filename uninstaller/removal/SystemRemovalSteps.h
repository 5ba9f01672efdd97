#pragma once

#include <functional>

#include "CleanupActions.h"
#include "MaskingToolStep.h"
#include "RemovalContext.h"
#include "RemovalPlanTrace.h"
#include "RemovalSteps.h"
#include "RestartHandling.h"
#include "SpoolerObjectRemoval.h"

// The removal steps the phases run on the machine, each over the platform
// interfaces: the plan and its record (phase 0), the masking tool (phases 1
// and 4), the spooler objects (phases 3 to 6), the clean-up actions (phases
// 5 and 7 to 15), the spooler stop and start (phases 8 and 16) and the
// final messages (phase 17).
class SystemRemovalSteps : public RemovalSteps {
 public:
  // scannerUninstallPending: the main window starts the scanner driver's
  // uninstall after the phases, and asks about the restart itself.
  SystemRemovalSteps(RemovalContext context, TraceWriter trace, MaskingToolPlatform& maskingTool,
                     RestartPlatform& restart, std::function<bool()> scannerUninstallPending)
      : context_(std::move(context)),
        trace_(std::move(trace)),
        spoolerObjects_(context_),
        cleanup_(context_),
        restartFacts_{context_.os.platformClass, context_.os.versionCode},
        maskingTool_(maskingTool, context_.os.platformClass),
        restart_(restart),
        scannerUninstallPending_(std::move(scannerUninstallPending)) {}

  void buildDirectoryLists() override;
  // The plan, and before anything goes, the record of what this removal
  // takes, from which a later run finishes it after an abrupt end.
  void buildRemovalPlan() override;
  MaskingToolState maskingToolStep() override;
  void removePrinters() override;
  MaskingToolState maskingToolStepAfterPrinters() override;
  void removeDrivers() override { spoolerObjects_.removeDrivers(); }
  void removeMonitors() override { spoolerObjects_.removeMonitors(); }
  void callHooks() override { cleanup_.callHooks(); }
  void removePrintProcessors() override { spoolerObjects_.removePrintProcessors(); }
  void removeServices() override { cleanup_.removeServices(); }
  void stopSpooler() override;
  void addPackageDirectories() override { cleanup_.addPackageDirectories(); }
  void removeShortcuts() override { cleanup_.removeShortcuts(); }
  void removeIniEntries() override { cleanup_.removeIniEntries(); }
  void removeStartupEntries() override { cleanup_.removeStartupEntries(); }
  void removeFiles() override { cleanup_.removeFiles(); }
  void removeRegistryEntries() override { cleanup_.removeRegistryEntries(); }
  SpoolerStart startSpooler() override;
  // The removal has ended: nothing is left to finish; then the messages.
  void finishRemoval() override;

  // The program ends while the phases hold the spooler stopped.
  void startSpoolerBeforeExit();

 private:
  std::string removalRecordPath() const;
  void forgetRemovalRecord();

  RemovalContext context_;
  TraceWriter trace_;
  SpoolerObjectRemoval spoolerObjects_;
  CleanupActions cleanup_;
  RestartFacts restartFacts_;
  MaskingToolStep maskingTool_;
  RestartPlatform& restart_;
  std::function<bool()> scannerUninstallPending_;
  int spoolerWaitTicks_ = 0;
};
