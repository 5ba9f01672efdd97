#include "SystemRemovalSteps.h"

#include "PlanLineSafety.h"
#include "RemovalRecord.h"

void SystemRemovalSteps::buildDirectoryLists() {
  if (context_.directory) {
    const std::string driverDirectory = context_.directory(26);
    context_.printerDriverDirectory = driverDirectory.empty() ? std::string() : withTrailingBackslash(driverDirectory);
  }
  cleanup_.buildDirectoryLists();
}

std::string SystemRemovalSteps::removalRecordPath() const {
  return context_.printerDriverDirectory.empty() ? std::string() : context_.printerDriverDirectory + kRemovalRecordName;
}

void SystemRemovalSteps::buildRemovalPlan() {
  BuildRemovalPlanWithTrace(context_.database, trace_);
  const std::string path = removalRecordPath();
  if (path.empty() ||
      !context_.platform.files.writeFile(path, FormatRemovalRecord(context_.database.RecordOfRemoval())))
    context_.note("removal not recorded: " + path);
}

MaskingToolState SystemRemovalSteps::maskingToolStep() {
  const UninstallDatabase& database = context_.database;
  return maskingTool_.Run(!database.MaskingToolKept() && !database.MaskingToolGoesOnlyWithLastPrinter());
}

void SystemRemovalSteps::removePrinters() {
  spoolerObjects_.removePrinters();
  context_.database.RecountAfterPrinterRemoval();
  if (context_.database.PrintersStaying() > 0)
    context_.note("a printer of the package stays: the items of a full removal are kept");
}

MaskingToolState SystemRemovalSteps::maskingToolStepAfterPrinters() {
  return maskingTool_.Run(context_.database.MaskingToolGoesOnlyWithLastPrinter());
}

void SystemRemovalSteps::stopSpooler() {
  UninstallDatabase& database = context_.database;
  database.SetRestartNeeded(RunSpoolerStopPhase(restartFacts_, database.RestartNeeded(), restart_));
}

SpoolerStart SystemRemovalSteps::startSpooler() {
  return RunSpoolerStartPhase(restartFacts_, restart_, spoolerWaitTicks_++);
}

void SystemRemovalSteps::startSpoolerBeforeExit() {
  RunSpoolerStartPhase(restartFacts_, restart_, kSpoolerStopWaitTicks);
}

void SystemRemovalSteps::forgetRemovalRecord() {
  const std::string path = removalRecordPath();
  // Codes below 4: it was not there.
  if (!path.empty() && context_.platform.files.deleteFile(path) >= 4)
    context_.note("removal record not deleted: " + path);
}

void SystemRemovalSteps::finishRemoval() {
  forgetRemovalRecord();
  FinishRemovalMessages(restartFacts_, context_.database.RestartNeeded(),
                        scannerUninstallPending_ && scannerUninstallPending_(), restart_);
}
