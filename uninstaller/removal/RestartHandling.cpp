#include "RestartHandling.h"

namespace {

bool IsConsumerWindows(const RestartFacts& facts) { return facts.platformClass == 2; }
bool IsNtFamily(const RestartFacts& facts) { return facts.platformClass == 3; }

}  // namespace

bool RunSpoolerStopPhase(const RestartFacts& facts, bool restartNeeded, RestartPlatform& platform)
{
    if (IsConsumerWindows(facts)) {
        if (facts.versionCode == 2)
            platform.CloseConsumerSpooler();
        return true;
    }
    if (IsNtFamily(facts))
        platform.StopSpoolerService();
    return restartNeeded;
}

SpoolerStart RunSpoolerStartPhase(const RestartFacts& facts, RestartPlatform& platform, int ticksWaited)
{
    if (!IsNtFamily(facts))
        return SpoolerStart::Done;
    if (ticksWaited < kSpoolerStopWaitTicks && platform.SpoolerStopPending())
        return SpoolerStart::Waiting;
    platform.StartSpoolerService();
    return SpoolerStart::Done;
}

bool RestartComputer(const RestartFacts& facts, RestartPlatform& platform)
{
    const int code = facts.versionCode;
    if (code == 2 || code == 3 || code == 7)
        return platform.RestartDirectly();
    return platform.PrivilegedRestart();
}

void FinishRemovalMessages(const RestartFacts& facts, bool restartNeeded, bool scannerUninstallPending,
                           RestartPlatform& platform)
{
    if (scannerUninstallPending)
        return;
    if (!IsConsumerWindows(facts) || !restartNeeded) {
        platform.ShowFinished();
        return;
    }
    if (platform.AskRestart() && !RestartComputer(facts, platform))
        platform.ShowRestartFailed();
}

void AskRestartAfterScannerUninstallFailed(const RestartFacts& facts, bool restartNeeded,
                                           RestartPlatform& platform)
{
    if (IsConsumerWindows(facts) && restartNeeded && platform.AskRestart())
        RestartComputer(facts, platform);
}
