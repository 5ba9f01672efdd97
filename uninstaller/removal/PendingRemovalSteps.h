#pragma once

#include <functional>
#include <string>

#include "RemovalSteps.h"

// The removal steps before they do anything: each one only writes to the
// trace that it removed nothing, so that the phases can run end to end and
// nobody mistakes a run for a real removal.
class PendingRemovalSteps : public RemovalSteps {
 public:
  using TraceWriter = std::function<void(const std::string&)>;

  explicit PendingRemovalSteps(TraceWriter trace) : trace_(std::move(trace)) {}

  void buildDirectoryLists() override;
  void buildRemovalPlan() override;
  MaskingToolState maskingToolStep() override;
  void removePrinters() override;
  void removeDrivers() override;
  void removeMonitors() override;
  void callHooks() override;
  void removePrintProcessors() override;
  void removeServices() override;
  void stopSpooler() override;
  void addPackageDirectories() override;
  void removeShortcuts() override;
  void removeIniEntries() override;
  void removeStartupEntries() override;
  void removeFiles() override;
  void removeRegistryEntries() override;
  SpoolerStart startSpooler() override;
  void finishRemoval() override;

 private:
  void notImplemented(const char* step);

  TraceWriter trace_;
};
