#include "LampWarmingWait_win.h"

#include "ScanCancel.h"
#include "ScanParameters.h"
#include "ScannerDevice_win.h"

#include <ctime>

namespace {
constexpr DWORD kPumpWaitMilliseconds = 100;
}

DialogLampView::DialogLampView(HWND owner) : owner_(owner) {}

void DialogLampView::open(unsigned messageStringId) { dialog_.create(owner_, messageStringId); }

void DialogLampView::pumpMessages() { dialog_.dispatchMessages(kPumpWaitMilliseconds); }

void DialogLampView::close() { dialog_.destroy(); }

int64_t WallClock::nowSeconds() { return static_cast<int64_t>(std::time(nullptr)); }

LockOutcome lockScannerForScan(HWND owner)
{
    DialogLampView view(owner);
    WallClock clock;
    return lockScannerWithWarmingWait(scannerDevice().protocol, view, clock, cancelRequested,
                                      currentScanParameters().feederChecked != 0);
}
