#pragma once

// What the removal phases ask of the removal steps (spooler objects,
// clean-up actions, restart handling), one call per piece of work, in the
// order the phases run them.
enum class MaskingToolState { Running, Finished };
// The spooler start of phase 16 waits for the stop of phase 8 to complete.
enum class SpoolerStart { Waiting, Done };

class RemovalSteps {
 public:
  virtual ~RemovalSteps() = default;

  // When the phases start: the flat and recursive directory lists.
  virtual void buildDirectoryLists() = 0;

  virtual void buildRemovalPlan() = 0;
  // Phase 1: the masking tool's run when the selection removes the tool.
  virtual MaskingToolState maskingToolStep() = 0;
  // Phase 3; afterwards the plan counts every printer still installed as
  // staying.
  virtual void removePrinters() = 0;
  // Phase 4, before the drivers: the masking tool's run when only the
  // removal of the last printer takes the tool, and none stayed.
  virtual MaskingToolState maskingToolStepAfterPrinters() = 0;
  virtual void removeDrivers() = 0;
  virtual void removeMonitors() = 0;
  virtual void callHooks() = 0;
  virtual void removePrintProcessors() = 0;
  virtual void removeServices() = 0;
  virtual void stopSpooler() = 0;
  virtual void addPackageDirectories() = 0;
  virtual void removeShortcuts() = 0;
  virtual void removeIniEntries() = 0;
  virtual void removeStartupEntries() = 0;
  virtual void removeFiles() = 0;
  virtual void removeRegistryEntries() = 0;
  virtual SpoolerStart startSpooler() = 0;
  // Final messages and the offer to restart.
  virtual void finishRemoval() = 0;
};
