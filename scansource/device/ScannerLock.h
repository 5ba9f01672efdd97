#pragma once
// Locking the scanner for this host at the start of a scan, waiting for the
// lamp (or for the user to close a cover) behind the lamp-warming dialog.
#include "ScannerProtocol.h"

#include <cstdint>

// The modeless lamp-warming dialog as the wait sees it.
class LampWarmingView {
public:
    virtual ~LampWarmingView() = default;
    virtual void open(unsigned messageStringId) = 0;
    // Dispatches the dialog's pending messages, waiting briefly for one so
    // the wait does not spin.
    virtual void pumpMessages() = 0;
    // Destroys the dialog if it still exists.
    virtual void close() = 0;
};

// Whole seconds from a clock that never goes back: setting the system's
// time must not stall a wait.
class SecondsClock {
public:
    virtual ~SecondsClock() = default;
    virtual int64_t nowSeconds() = 0;
};

enum class LockOutcome {
    locked,
    cancelled,         // the user cancelled the wait: end without unlocking
    transportFailure,  // end without unlocking
    refusedJam,        // unlock, then end
    refusedOther,      // unlock, then end
};

// The text of the lamp-warming dialog for a refused lock.
unsigned lampWarmingMessageId(int lockReply, uint8_t detail, bool feederChecked);

// Whether the scan must send the unlock command after this outcome.
bool lockOutcomeNeedsUnlock(LockOutcome outcome);

// The wait for the lamp (or for a cover to be closed) gives up after this
// long, as it does when the user cancels.
constexpr int64_t kLockWaitLimitSeconds = 120;

// The wait lasts until the lock succeeds, cancelRequested is set (by the
// dialog's Cancel button) or kLockWaitLimitSeconds have passed; a lock that
// failed on the link is tried again after a purge. Refusals the user cannot
// wait out set cancelRequested themselves.
LockOutcome lockScannerWithWarmingWait(ScannerProtocol& protocol, LampWarmingView& view, SecondsClock& clock,
                                       volatile int& cancelRequested, bool feederChecked);
