#include "ScannerLock.h"

#include "StringIds.h"
#include "ScanReplyResult.h"

unsigned lampWarmingMessageId(int lockReply, uint8_t detail, bool feederChecked)
{
    if (lockReply == SCANCMD_RESULT_WARMING)
        return IDS_ERROR_SCANNER_WARMING;
    switch (detail) {
    case FEEDER_NOT_ATTACHED:
        return IDS_MESSAGE_ADF_NOT_ATTACHED;
    case FEEDER_SCAN_UNIT_OPEN:
        return IDS_MESSAGE_ADF_SCAN_UNIT_OPEN;
    case FEEDER_SCAN_COVER_OPEN:
        return feederChecked ? IDS_MESSAGE_ADF_SCAN_COVER_OPEN : IDS_ERROR_SCANNER_NOT_LOCKED;
    case FEEDER_COVER_OPEN:
        return IDS_MESSAGE_ADF_COVER_OPEN;
    default:
        return IDS_ERROR_SCANNER_NOT_LOCKED;
    }
}

bool lockOutcomeNeedsUnlock(LockOutcome outcome)
{
    return outcome == LockOutcome::refusedJam || outcome == LockOutcome::refusedOther;
}

namespace {

// What the wait reports when its time is up: the last refusal.
LockOutcome giveUpWaiting(ScannerProtocol& protocol, int lastReply, volatile int& cancelRequested)
{
    bool linkFailed = lastReply == SCANCMD_TRANSPORT_FAILURE;
    protocol.notices().showWarning(linkFailed ? IDS_ERROR_DISCONNECTION : IDS_ERROR_UNKNOWN_SCANNER_LOCKING_FAILURE,
                                   true);
    cancelRequested = 1;
    return linkFailed ? LockOutcome::transportFailure : LockOutcome::refusedOther;
}

LockOutcome waitForLock(ScannerProtocol& protocol, LampWarmingView& view, SecondsClock& clock, int firstReply,
                        volatile int& cancelRequested)
{
    int64_t started = clock.nowSeconds();
    int64_t previous = started;
    bool attemptTimed = false;
    int64_t lastAttempt = 0;
    int lastReply = firstReply;
    for (;;) {
        view.pumpMessages();
        if (cancelRequested)
            return LockOutcome::cancelled;
        int64_t now = clock.nowSeconds();
        // Should the clock go back after all, the wait goes on from there.
        if (now < previous) {
            started -= previous - now;
            lastAttempt -= previous - now;
        }
        previous = now;
        if (now - started >= kLockWaitLimitSeconds)
            return giveUpWaiting(protocol, lastReply, cancelRequested);
        if (!attemptTimed || now - lastAttempt >= 1) {
            lastReply = protocol.writeEscCommand(makeCommand(CMD_LOCK));
            if (lastReply == SCANCMD_RESULT_SUCCESS)
                return LockOutcome::locked;
            // A failed exchange leaves bytes behind that the next one would
            // take for its reply.
            if (lastReply == SCANCMD_TRANSPORT_FAILURE)
                protocol.link().purge();
            attemptTimed = true;
            lastAttempt = now;
        }
    }
}

}  // namespace

LockOutcome lockScannerWithWarmingWait(ScannerProtocol& protocol, LampWarmingView& view, SecondsClock& clock,
                                       volatile int& cancelRequested, bool feederChecked)
{
    int reply = protocol.writeEscCommand(makeCommand(CMD_LOCK));
    switch (reply) {
    case SCANCMD_RESULT_SUCCESS:
        return LockOutcome::locked;
    case SCANCMD_RESULT_SCANNER_NOT_LOCKED:
    case SCANCMD_RESULT_WARMING: {
        view.open(lampWarmingMessageId(reply, protocol.replyDetail(), feederChecked));
        LockOutcome outcome = waitForLock(protocol, view, clock, reply, cancelRequested);
        view.close();
        return outcome;
    }
    case SCANCMD_RESULT_ADFSTATUS:
        protocol.notices().showWarning(IDS_ERROR_ADF_JAM, true);
        cancelRequested = 1;
        return LockOutcome::refusedJam;
    case SCANCMD_TRANSPORT_FAILURE:
        protocol.notices().showWarning(IDS_ERROR_DISCONNECTION, true);
        cancelRequested = 1;
        return LockOutcome::transportFailure;
    default:
        protocol.notices().showWarning(IDS_ERROR_UNKNOWN_SCANNER_LOCKING_FAILURE, true);
        cancelRequested = 1;
        return LockOutcome::refusedOther;
    }
}
