#include "LoadingSequence.h"

#include "RemovalRecord.h"
#include "ScriptDiscovery.h"
#include "resource.h"

void LoadingBar::StepIt()
{
    position += step;
    if (position > kMaximum)
        position = kMinimum + (position - kMinimum) % (kMaximum - kMinimum);
}

LoadingSequence::LoadingSequence(UninstallDatabase& database, const OsInfo& os, const PrinterFilter& filter,
                                 LoadingSources sources, LoadingPlatform& platform, LoadingView& view, Trace trace)
    : database_(database),
      os_(os),
      filter_(filter),
      sources_(std::move(sources)),
      platform_(platform),
      view_(view),
      trace_(std::move(trace))
{
}

void LoadingSequence::Start()
{
    view_.ShowBarPosition(bar_.position);
    view_.StartTimer(kFirstPeriodMs);
}

void LoadingSequence::AdvanceBar()
{
    bar_.StepIt();
    view_.ShowBarPosition(bar_.position);
}

void LoadingSequence::SetBar(int position)
{
    bar_.position = position;
    view_.ShowBarPosition(bar_.position);
}

void LoadingSequence::Tick()
{
    if (finished_ || insideTick_)
        return;
    insideTick_ = true;
    AdvanceBar();
    if (RunStep()) {
        if (step_ <= kLastStep)
            AdvanceBar();
        else {
            view_.StopTimer();
            Finish(1);
        }
    }
    insideTick_ = false;
}

void LoadingSequence::OnCancel()
{
    if (finished_)
        return;
    view_.StopTimer();
    if (view_.AskInterrupt())
        Finish(0);
    else
        view_.StartTimer(kResumedPeriodMs);
}

void LoadingSequence::Fail(unsigned textId)
{
    view_.StopTimer();
    view_.ShowError(textId);
    Finish(0);
}

void LoadingSequence::StartSpoolerIfStopped()
{
    if (spoolerStopped_ && platform_.StartSpooler())
        spoolerStopped_ = false;
}

void LoadingSequence::Finish(int result)
{
    // However the loading ends, it does not leave the machine without a
    // spooler.
    StartSpoolerIfStopped();
    finished_ = true;
    result_ = result;
    view_.End(result);
}

bool LoadingSequence::Wait(int& counter, int target)
{
    if (counter < target)
        ++counter;
    return counter >= target;
}

void LoadingSequence::ReadUnfinishedRemoval()
{
    std::string text;
    if (sources_.removalRecordPath.empty() || !sources_.storage.ReadWholeFile(sources_.removalRecordPath, text))
        return;
    std::optional<RemovalRecord> record = ParseRemovalRecord(text);
    if (trace_)
        trace_((record ? "uninstaller: finishing the removal recorded in "
                       : "uninstaller: removal record ignored, not whole: ") +
               sources_.removalRecordPath);
    if (record)
        database_.ResumeUnfinishedRemoval(std::move(*record));
}

int LoadingSequence::OfferedPrinters() const
{
    int offered = 0;
    for (const InstalledPrinter& printer : database_.Printers())
        if (printer.Offered())
            ++offered;
    return offered;
}

bool LoadingSequence::RunStep()
{
    switch (step_) {
    case 0:
        if (os_.isNtFamily() && !platform_.IsAdministrator()) {
            Fail(IDS_NO_ADMIN_RIGHTS);
            return false;
        }
        break;
    case 1:
        platform_.ClosePackagePrograms();
        break;
    case 2:
        if (os_.isNtFamily()) {
            platform_.StopSpooler();
            spoolerStopped_ = true;
        }
        break;
    case 3:
        if (!Wait(firstWaitTicks_, 8))
            return true;
        break;
    case 4:
        if (os_.isNtFamily()) {
            if (!platform_.StartSpooler()) {
                Fail(IDS_SPOOLER_UNSTABLE);
                return false;
            }
            spoolerStopped_ = false;
        }
        break;
    case 5:
        if (!Wait(secondWaitTicks_, 3))
            return true;
        break;
    case 6:
        ReadUnfinishedRemoval();
        scripts_ = DiscoverScripts(sources_.scriptDirectories, sources_.lister);
        // An unfinished removal carries its plan: the scripts may be gone
        // with it.
        if (scripts_.empty() && !database_.UnfinishedRemoval())
            view_.ShowNoScriptsWarning();
        SetBar(20);
        bar_.step = scripts_.empty() ? 10 : 10 / static_cast<int>(scripts_.size());
        break;
    case 7:
        for (const std::string& path : scripts_) {
            ScriptReadResult read = database_.ReadScript(path, sources_.storage);
            if (trace_)
                trace_(read == ScriptReadResult::Read
                           ? "uninstaller: script read: " + path
                           : "uninstaller: script skipped: " + path + ": " + ScriptRejectionReason(read));
        }
        break;
    case 8:
        database_.CollectSelectedSet();
        database_.ApplyMaskingToolChoice(filter_.includeMaskingTool);
        break;
    case 9: {
        InstalledPrinterListResult listed =
            BuildListOfInstalledPrinters(sources_.spooler, os_.platformClass, filter_, database_.Printers());
        if (listed.failure && trace_)
            trace_("uninstaller: printer list empty: " + listed.failure->Describe());
        database_.KeepPrintersOutsideUnfinishedRemoval();
        if (listed.outcome == PrinterListOutcome::SpoolerNotAnswering) {
            Fail(IDS_SPOOLER_NOT_ANSWERING);
            return false;
        }
        // A printer that could not be read might be one of the package's:
        // without the whole list no printer may count as gone.
        if (listed.outcome == PrinterListOutcome::Failed && retries_ > 0) {
            view_.StopTimer();
            view_.ShowPrinterListFailure(listed.failure->Describe());
            Finish(0);
            return false;
        }
        if (listed.printersOpened == 0 && retries_ == 0) {
            ++retries_;
            SetBar(5);
            step_ = 1;
            return true;
        }
        break;
    }
    case 10:
        platform_.ClosePackagePrograms();
        bar_.step = 1;
        SetBar(95);
        break;
    default:
        break;
    }
    ++step_;
    return true;
}
