#include "shell/ScanImage_win.h"

#include "DecoderInstance.h"
#include "FeederPrompt.h"
#include "StringIds.h"
#include "shell/BitmapPlatform_win.h"
#include "ImagingBitmapSteps.h"
#include "shell/ImagingLibraryBinding_win.h"
#include "device/EscCommands.h"
#include "shell/LampWarmingWait_win.h"
#include "device/ScanCancel.h"
#include "shell/ScannerDevice_win.h"
#include "twain/CapabilityTable.h"
#include "twain/DebugTrace.h"
#include "twain/SourceContext.h"
#include "shell/MessageBoxes.h"
#include "shell/ShellState.h"
#include "shell/windows/ScanProgressDialog.h"

#include <string>

namespace {

class DialogScanView : public ScanJobView {
public:
    explicit DialogScanView(HWND owner)
        : owner_(owner), progress_([] { return sendEscCommandNoReply(makeCommand(CMD_ABORT)) == 0; })
    {
    }
    bool openProgress() override { return progress_.create(owner_); }
    void dispatchProgressMessages() override { progress_.dispatchMessages(); }
    void showProgress(int percent) override { progress_.showPercent(percent); }
    void closeProgress() override { progress_.destroy(); }
    int askOkCancel(unsigned textId, unsigned captionId) override { return AskOkCancel(owner_, textId, captionId); }

private:
    HWND owner_;
    ScanProgressDialog progress_;
};

class ThreadKeepAwake : public ExecutionState {
public:
    void keepAwake() override { SetThreadExecutionState(ES_CONTINUOUS | ES_SYSTEM_REQUIRED | ES_DISPLAY_REQUIRED); }
    void restore() override { SetThreadExecutionState(ES_CONTINUOUS); }
};

// The engine's messages go to the source's boxes, owned by the scan's owner.
class OwnedNotices : public DeviceNotices {
public:
    explicit OwnedNotices(HWND owner) : owner_(owner) {}
    void trace(const char* text) override { DebugTrace(text); }
    void showWarning(unsigned stringId, bool show) override { ShowWarning(owner_, stringId, show ? TRUE : FALSE); }
    void traceWarningValue(unsigned stringId, int value) override
    {
        ShowWarningFormatted(owner_, stringId, value, FALSE);
    }
    std::string systemErrorText(uint32_t errorCode) override
    {
        return scannerDevice().notices.systemErrorText(errorCode);
    }

private:
    HWND owner_;
};

}  // namespace

void setScanImageOwner(HWND owner)
{
    shellState().scanOwner = owner;
}

int scanImage(int dibOrder, int forMemoryTransfer, DibHandle* dib)
{
    // The scan window's buttons still work while a scan shows a box: a
    // second scan would run inside the first one's wait.
    if (shellState().scanRunning)
        return SCAN_REPLY_IN_USE;
    shellState().scanRunning = true;
    BusyScope busy;
    struct Ended {
        ~Ended() { shellState().scanRunning = false; }
    } ended;
    ScannerDevice& device = scannerDevice();
    // Every dialog and box of the scan, the lock wait's included, is owned
    // by the scan's owner.
    DialogLampView lampView(shellState().scanOwner);
    TickClock clock;
    DialogScanView view(shellState().scanOwner);
    Win32BitmapPlatform bitmapPlatform(shellState().scanOwner);
    ImagingBitmapSteps bitmap(globalMemoryBlocks(), boundImagingLibrary(), bitmapPlatform);
    ThreadKeepAwake executionState;
    OwnedNotices notices(shellState().scanOwner);
    ScannerProtocol protocol(device.transport, notices);
    decoderSetTrace(DebugTrace);

    ScanRequest request;
    request.parameters = currentScanParameters();
    request.feederEnabled = feederEnabled();
    if (request.parameters.descreen)
        request.filter = loadFilterSettings();

    ScanJobServices services{protocol, lampView, clock, view, bitmap, executionState, cancelRequested};
    return runScanJob(services, request, dibOrder, forMemoryTransfer, dib);
}

bool ensureFeederLoaded(HWND owner, bool feederEnabled)
{
    BusyScope busy;
    return ensureFeederLoaded(
        feederEnabled, [] { return queryFeederStatus(1); },
        [owner] { return AskOkCancel(owner, IDS_MESSAGE_ADF_PROMPT, IDS_TWAINUI_CAPTION); });
}
