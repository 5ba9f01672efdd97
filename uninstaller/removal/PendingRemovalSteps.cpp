#include "PendingRemovalSteps.h"

void PendingRemovalSteps::notImplemented(const char* step) {
  if (trace_) trace_(std::string("uninstaller: ") + step + " not implemented yet, nothing done");
}

void PendingRemovalSteps::buildDirectoryLists() { notImplemented("directory lists:"); }
void PendingRemovalSteps::buildRemovalPlan() { notImplemented("removal plan:"); }

MaskingToolState PendingRemovalSteps::maskingToolStep() {
  notImplemented("masking tool step:");
  return MaskingToolState::Finished;
}

void PendingRemovalSteps::removePrinters() { notImplemented("printer removal:"); }
void PendingRemovalSteps::removeDrivers() { notImplemented("driver removal:"); }
void PendingRemovalSteps::removeMonitors() { notImplemented("monitor removal:"); }
void PendingRemovalSteps::callHooks() { notImplemented("hook calls:"); }
void PendingRemovalSteps::removePrintProcessors() { notImplemented("print processor removal:"); }
void PendingRemovalSteps::removeServices() { notImplemented("service removal:"); }
void PendingRemovalSteps::stopSpooler() { notImplemented("spooler stop:"); }
void PendingRemovalSteps::addPackageDirectories() { notImplemented("package directories:"); }
void PendingRemovalSteps::removeShortcuts() { notImplemented("shortcut removal:"); }
void PendingRemovalSteps::removeIniEntries() { notImplemented("INI entry removal:"); }
void PendingRemovalSteps::removeStartupEntries() { notImplemented("start-up entry removal:"); }
void PendingRemovalSteps::removeFiles() { notImplemented("file removal:"); }
void PendingRemovalSteps::removeRegistryEntries() { notImplemented("registry entry removal:"); }
SpoolerStart PendingRemovalSteps::startSpooler() {
  notImplemented("spooler start:");
  return SpoolerStart::Done;
}
void PendingRemovalSteps::finishRemoval() { notImplemented("final messages and restart:"); }
