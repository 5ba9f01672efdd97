#pragma once
// Stopping and starting the spooler around the removal (phases 8 and 16),
// and the end of the removal with its restart offer. The decisions, by
// platform class and version code, are made here; RestartPlatform makes
// the calls and shows the message boxes.

#include "RemovalSteps.h"

class RestartPlatform {
public:
    virtual ~RestartPlatform() = default;
    // NT family: the stop control was sent to service "Spooler".
    virtual bool StopSpoolerService() = 0;
    // NT family: "Spooler" started, or was running already.
    virtual bool StartSpoolerService() = 0;
    // NT family: "Spooler" still reports a stop in progress.
    virtual bool SpoolerStopPending() = 0;
    // Consumer Windows: WM_CLOSE to the "SpoolProcessClass" window and a
    // second's wait; whether the window was there.
    virtual bool CloseConsumerSpooler() = 0;
    // Exit-Windows with the reboot flag.
    virtual bool RestartDirectly() = 0;
    // The same after enabling the shutdown privilege.
    virtual bool PrivilegedRestart() = 0;

    // Text 199, caption 161, foreground.
    virtual void ShowFinished() = 0;
    // Text 200, caption 161, Yes/No, foreground; true for Yes.
    virtual bool AskRestart() = 0;
    // Text 201, caption 161, foreground.
    virtual void ShowRestartFailed() = 0;
};

struct RestartFacts {
    int platformClass = 0;  // 1 oldest subset, 2 consumer Windows, 3 NT family
    int versionCode = 0;
};

// Phase 8. Returns whether a restart is needed from now on (always on
// consumer Windows); needed stays as it was elsewhere.
bool RunSpoolerStopPhase(const RestartFacts& facts, bool restartNeeded, RestartPlatform& platform);
// 30 seconds of the phases' 200 ms ticks.
constexpr int kSpoolerStopWaitTicks = 150;

// One tick of phase 16. The stop of phase 8 is sent without waiting for it,
// and a start while the service is still stopping would fail, so the phase
// waits for the stop, up to kSpoolerStopWaitTicks ticks; then it starts the
// spooler (the result is not checked).
SpoolerStart RunSpoolerStartPhase(const RestartFacts& facts, RestartPlatform& platform, int ticksWaited);

// Yes to text 200: directly with version codes 2, 3 and 7, through the
// privileged restart otherwise. The restart call's success.
bool RestartComputer(const RestartFacts& facts, RestartPlatform& platform);

// Phase 17's messages, after the timer is stopped and the cursor restored.
// With the scanner driver's uninstall pending the main window asks instead.
void FinishRemovalMessages(const RestartFacts& facts, bool restartNeeded, bool scannerUninstallPending,
                           RestartPlatform& platform);

// After message 1129, when starting the scanner driver's uninstall failed:
// the restart question on consumer Windows with a restart needed; no
// failure text there.
void AskRestartAfterScannerUninstallFailed(const RestartFacts& facts, bool restartNeeded,
                                           RestartPlatform& platform);
