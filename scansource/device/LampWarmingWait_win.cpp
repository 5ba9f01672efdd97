#include "LampWarmingWait_win.h"

#include "ScanCancel.h"
#include "ScanParameters.h"
#include "ScannerDevice_win.h"
#include "ui/LampWarmingDialog.h"

#include <ctime>

namespace {

constexpr DWORD kPumpWaitMilliseconds = 100;

class DialogLampView : public LampWarmingView {
public:
    explicit DialogLampView(HWND owner) : owner_(owner) {}
    void open(unsigned messageStringId) override { dialog_.create(owner_, messageStringId); }
    void pumpMessages() override { dialog_.dispatchMessages(kPumpWaitMilliseconds); }
    void close() override { dialog_.destroy(); }

private:
    HWND owner_;
    LampWarmingDialog dialog_;
};

class WallClock : public SecondsClock {
public:
    int64_t nowSeconds() override { return static_cast<int64_t>(std::time(nullptr)); }
};

}  // namespace

LockOutcome lockScannerForScan(HWND owner)
{
    DialogLampView view(owner);
    WallClock clock;
    return lockScannerWithWarmingWait(scannerDevice().protocol, view, clock, cancelRequested,
                                      currentScanParameters().feederChecked != 0);
}
