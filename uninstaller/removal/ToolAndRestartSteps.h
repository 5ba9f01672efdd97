#pragma once
// The removal steps of phases 1, 8, 16 and 17 (the masking tool, the spooler
// stop and start, the final messages), for the steps class that runs the
// removal to delegate to.

#include "MaskingToolStep.h"
#include "RestartHandling.h"
#include "UninstallDatabase.h"

#include <functional>

class ToolAndRestartSteps {
public:
    ToolAndRestartSteps(UninstallDatabase& database, RestartFacts facts, MaskingToolPlatform& tool,
                        RestartPlatform& restart, std::function<bool()> scannerUninstallPending)
        : database_(database),
          facts_(facts),
          maskingTool_(tool, facts.platformClass),
          restart_(restart),
          scannerUninstallPending_(std::move(scannerUninstallPending))
    {
    }

    MaskingToolState maskingToolStep()
    {
        return maskingTool_.Run(!database_.MaskingToolKept() && !database_.MaskingToolGoesOnlyWithLastPrinter());
    }
    MaskingToolState maskingToolStepAfterPrinters()
    {
        return maskingTool_.Run(database_.MaskingToolGoesOnlyWithLastPrinter());
    }
    void stopSpooler()
    {
        database_.SetRestartNeeded(RunSpoolerStopPhase(facts_, database_.RestartNeeded(), restart_));
    }
    SpoolerStart startSpooler() { return RunSpoolerStartPhase(facts_, restart_, spoolerWaitTicks_++); }
    // The program ends while the phases hold the spooler stopped.
    void startSpoolerBeforeExit() { RunSpoolerStartPhase(facts_, restart_, kSpoolerStopWaitTicks); }
    void finishRemoval()
    {
        FinishRemovalMessages(facts_, database_.RestartNeeded(),
                              scannerUninstallPending_ && scannerUninstallPending_(), restart_);
    }

private:
    UninstallDatabase& database_;
    RestartFacts facts_;
    MaskingToolStep maskingTool_;
    RestartPlatform& restart_;
    std::function<bool()> scannerUninstallPending_;
    int spoolerWaitTicks_ = 0;
};
