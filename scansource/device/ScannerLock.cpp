#include "ScannerLock.h"

#include "DeviceStringIds.h"
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

LockOutcome waitForLock(ScannerProtocol& protocol, LampWarmingView& view, SecondsClock& clock,
                        volatile int& cancelRequested)
{
    bool attemptTimed = false;
    int64_t lastAttempt = 0;
    for (;;) {
        view.pumpMessages();
        if (cancelRequested)
            return LockOutcome::cancelled;
        int64_t now = clock.nowSeconds();
        if (!attemptTimed || now - lastAttempt >= 1) {
            if (protocol.writeEscCommand(makeCommand(CMD_LOCK)) == SCANCMD_RESULT_SUCCESS)
                return LockOutcome::locked;
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
        LockOutcome outcome = waitForLock(protocol, view, clock, cancelRequested);
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
