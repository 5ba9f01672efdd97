#include "LampWarmingWait_win.h"

#include "ScanCancel.h"
#include "ScanParameters.h"
#include "ScannerDevice_win.h"


namespace {
constexpr DWORD kPumpWaitMilliseconds = 100;
}

DialogLampView::DialogLampView(HWND owner) : owner_(owner) {}

void DialogLampView::open(unsigned messageStringId) { dialog_.create(owner_, messageStringId); }

void DialogLampView::pumpMessages() { dialog_.dispatchMessages(kPumpWaitMilliseconds); }

void DialogLampView::close() { dialog_.destroy(); }

int64_t TickClock::nowSeconds() { return static_cast<int64_t>(GetTickCount64() / 1000); }

LockOutcome lockScannerForScan(HWND owner)
{
    DialogLampView view(owner);
    TickClock clock;
    return lockScannerWithWarmingWait(scannerDevice().protocol, view, clock, cancelRequested,
                                      currentScanParameters().feederChecked != 0);
}
