#include "shell/LampWarmingWait_win.h"

#include "ScanCancel.h"
#include "ScanParameters.h"
#include "shell/ScannerDevice_win.h"
#include "StringIds.h"
#include "shell/Localization.h"

namespace {
constexpr DWORD kPumpWaitMilliseconds = 100;

BOOL CALLBACK answerOk(HWND window, LPARAM)
{
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    return TRUE;
}
}

void PlainCancelBox::show(unsigned messageStringId)
{
    close();
    messageStringId_ = messageStringId;
    closing_ = false;
    cancelled_ = false;
    thread_ = CreateThread(nullptr, 0, run, this, 0, &threadId_);
}

DWORD WINAPI PlainCancelBox::run(void* self)
{
    auto* box = static_cast<PlainCancelBox*>(self);
    alignas(WCHAR) char text[1024] = {};
    alignas(WCHAR) char caption[1024] = {};
    LoadLocalizedString(box->messageStringId_, text, sizeof text);
    LoadLocalizedString(IDS_TWAINUI_CAPTION, caption, sizeof caption);
    UINT style = MB_OKCANCEL | MB_ICONINFORMATION | MB_SETFOREGROUND;
    int answer = shellState().ansiMode ? MessageBoxA(nullptr, text, caption, style)
                          : MessageBoxW(nullptr, reinterpret_cast<const WCHAR*>(text),
                                        reinterpret_cast<const WCHAR*>(caption), style);
    if (answer == IDCANCEL && !box->closing_)
        box->cancelled_ = true;
    return 0;
}

void PlainCancelBox::close()
{
    if (!thread_)
        return;
    closing_ = true;
    // The box may not be up yet: answer whatever the thread shows until it ends.
    do
        EnumThreadWindows(threadId_, answerOk, 0);
    while (WaitForSingleObject(thread_, 50) == WAIT_TIMEOUT);
    CloseHandle(thread_);
    thread_ = nullptr;
}

DialogLampView::DialogLampView(HWND owner) : owner_(owner) {}

void DialogLampView::open(unsigned messageStringId)
{
    if (!dialog_.create(owner_, messageStringId))
        box_.show(messageStringId);
}

void DialogLampView::pumpMessages()
{
    dialog_.dispatchMessages(kPumpWaitMilliseconds);
    if (box_.cancelled())
        cancelRequested = 1;
}

void DialogLampView::close()
{
    dialog_.destroy();
    box_.close();
}

int64_t TickClock::nowSeconds()
{
    DWORD ticks = GetTickCount();
    if (ticks < lastTicks_)
        wrapped_ += int64_t{1} << 32;
    lastTicks_ = ticks;
    return (wrapped_ + ticks) / 1000;
}

LockOutcome lockScannerForScan(HWND owner)
{
    DialogLampView view(owner);
    TickClock clock;
    return lockScannerWithWarmingWait(scannerDevice().protocol, view, clock, cancelRequested,
                                      currentScanParameters().feederChecked != 0);
}
