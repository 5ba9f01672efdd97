#pragma once
// Locks the scanner at the start of a scan, showing the lamp-warming
// dialog (owned by owner) while the scanner refuses.
#include "ScannerLock.h"
#include "shell/windows/LampWarmingDialog.h"

#include <windows.h>

#include <atomic>

LockOutcome lockScannerForScan(HWND owner);

// When the lamp-warming dialog cannot be created the wait still offers
// Cancel: a plain OK/Cancel box on a thread of its own, so that the wait
// goes on behind it. OK only puts the box away.
class PlainCancelBox {
public:
    PlainCancelBox() = default;
    PlainCancelBox(const PlainCancelBox&) = delete;
    PlainCancelBox& operator=(const PlainCancelBox&) = delete;
    ~PlainCancelBox() { close(); }

    void show(unsigned messageStringId);
    bool cancelled() const { return cancelled_; }
    // Takes the box away if the user has not answered it.
    void close();

private:
    static DWORD WINAPI run(void* self);

    unsigned messageStringId_ = 0;
    HANDLE thread_ = nullptr;
    DWORD threadId_ = 0;
    std::atomic<bool> closing_{false};
    std::atomic<bool> cancelled_{false};
};

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
    PlainCancelBox box_;
};

// Seconds since the system started: setting the system's time does not
// move it. The 32-bit tick count wraps after 49.7 days; the clock counts the
// wraps it sees (it is read far more often than that).
class TickClock : public SecondsClock {
public:
    int64_t nowSeconds() override;

private:
    DWORD lastTicks_ = GetTickCount();
    int64_t wrapped_ = 0;
};
