#pragma once
// Locks the scanner at the start of a scan, showing the lamp-warming
// dialog (owned by owner) while the scanner refuses.
#include "ScannerLock.h"
#include "ui/LampWarmingDialog.h"

#include <windows.h>

LockOutcome lockScannerForScan(HWND owner);

// The lamp-warming dialog as the lock wait drives it.
class DialogLampView : public LampWarmingView {
public:
    explicit DialogLampView(HWND owner);
    void open(unsigned messageStringId) override;
    void pumpMessages() override;
    void close() override;

private:
    HWND owner_;
    LampWarmingDialog dialog_;
};

// Seconds since the system started: setting the system's time does not
// move it.
class TickClock : public SecondsClock {
public:
    int64_t nowSeconds() override;
};
