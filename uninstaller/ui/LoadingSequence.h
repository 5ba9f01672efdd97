#pragma once
// The loading dialog's work as a step machine: one step per tick of timer
// 1126 (rights, closing the package's other programs, the spooler restart,
// the scripts, the selected set and the installed printers). The dialog only
// forwards its timer and OK/Cancel here and shows what the view is told.

#include "InstalledPrinterList.h"
#include "OsInfo.h"
#include "PrinterFilter.h"
#include "ScriptStorage.h"
#include "UninstallDatabase.h"

#include <functional>
#include <string>
#include <vector>

// What the steps need of the system.
class LoadingPlatform {
public:
    virtual ~LoadingPlatform() = default;
    // The process token's groups hold the built-in Administrators group.
    virtual bool IsAdministrator() = 0;
    virtual void ClosePackagePrograms() = 0;
    virtual bool StopSpooler() = 0;
    virtual bool StartSpooler() = 0;
};

// What the steps need of the dialog.
class LoadingView {
public:
    virtual ~LoadingView() = default;
    virtual void ShowBarPosition(int position) = 0;
    // Caption 161, error icon.
    virtual void ShowError(unsigned textId) = 0;
    // Text 158: no uninstall script found; the uninstall goes on.
    virtual void ShowNoScriptsWarning() = 0;
    // The printer list could not be read: which call failed and how.
    virtual void ShowPrinterListFailure(const std::string& details) = 0;
    // Text 202; true for Yes.
    virtual bool AskInterrupt() = 0;
    virtual void StartTimer(unsigned periodMs) = 0;
    virtual void StopTimer() = 0;
    virtual void End(int result) = 0;
};

// The progress bar as the control keeps it: range 0..99, stepping past the
// end starts over from the beginning.
struct LoadingBar {
    static constexpr int kMinimum = 0;
    static constexpr int kMaximum = 99;
    int position = 1;
    int step = 2;

    void StepIt();
};

struct LoadingSources {
    std::vector<std::string> scriptDirectories;
    DirectoryLister& lister;
    ScriptStorage& storage;
    PrinterSpooler& spooler;
    // Where a removal records what it is about to take; empty for none.
    std::string removalRecordPath;
};

class LoadingSequence {
public:
    static constexpr unsigned kFirstPeriodMs = 400;
    static constexpr unsigned kResumedPeriodMs = 200;
    static constexpr int kLastStep = 10;

    using Trace = std::function<void(const std::string&)>;

    LoadingSequence(UninstallDatabase& database, const OsInfo& os, const PrinterFilter& filter,
                    LoadingSources sources, LoadingPlatform& platform, LoadingView& view, Trace trace = {});

    // The dialog is shown: the bar and the timer start.
    void Start();
    // Timer 1126. A tick that arrives while one runs (a message box pumps
    // messages) returns at once.
    void Tick();
    // OK or Cancel: asks whether to stop the uninstall. Yes while the
    // spooler is stopped starts it again before the end.
    void OnCancel();
    // The session ends, and the program with it: a stopped spooler is
    // started again first.
    void StartSpoolerIfStopped();

    int Step() const { return step_; }
    bool Finished() const { return finished_; }
    int Result() const { return result_; }
    const LoadingBar& Bar() const { return bar_; }
    int OfferedPrinters() const;

private:
    // Runs step_ and moves it on; false when an error ended the dialog.
    bool RunStep();
    void Fail(unsigned textId);
    void Finish(int result);
    void AdvanceBar();
    void SetBar(int position);
    bool Wait(int& counter, int target);
    void ReadUnfinishedRemoval();

    UninstallDatabase& database_;
    OsInfo os_;
    PrinterFilter filter_;
    LoadingSources sources_;
    LoadingPlatform& platform_;
    LoadingView& view_;
    Trace trace_;

    LoadingBar bar_;
    int step_ = 0;
    std::vector<std::string> scripts_;
    // Live as long as the process: the retry from step 1 does not wait again.
    int firstWaitTicks_ = 0;
    int secondWaitTicks_ = 0;
    int retries_ = 0;
    // Stopped in step 2 and not started again since.
    bool spoolerStopped_ = false;
    bool insideTick_ = false;
    bool finished_ = false;
    int result_ = 0;
};
