#include "ScanCallbacks.h"

#include "Debug.h"
#include "StringIds.h"
#include "ScanCommands.h"
#include "ScanStatus.h"

#include <chrono>
#include <thread>

namespace {
constexpr int kIdCancel = 2;
constexpr std::chrono::milliseconds kLockPoll{100};
}

void ScanSignals::reset()
{
    cancelled = false;
    stopWanted = false;
    feederEmpty = false;
    streamReply = 0;
    firstMessage = 0;
    lockWait = 0;
}

void ScanCallbacks::trace(const char* text)
{
    debugMessage(3, "%s", text);
}

void ScanCallbacks::showWarning(unsigned stringId, bool show)
{
    debugMessage(show ? 1 : 3, "%s (%u)", messageKey(stringId), stringId);
    if (!show)
        return;
    unsigned none = 0;
    signals_.firstMessage.compare_exchange_strong(none, stringId);
    if (messageStopsTheScan(stringId))
        signals_.stopWanted = true;
}

// The source only traces a feeder query that found no scanner, then ends
// the scan as cancelled; the reason is kept so that it is not taken for one.
void ScanCallbacks::traceWarningValue(unsigned stringId, int value)
{
    debugMessage(1, "%s (%u): %d", messageKey(stringId), stringId, value);
    unsigned none = 0;
    signals_.firstMessage.compare_exchange_strong(none, stringId);
}

std::string ScanCallbacks::systemErrorText(uint32_t errorCode)
{
    return "error " + std::to_string(errorCode);
}

void ScanCallbacks::open(unsigned messageStringId)
{
    signals_.lockWait = messageStringId;
    debugMessage(1, "waiting for the scanner to take the lock: %s (%s)",
                 messageStringId == IDS_ERROR_SCANNER_WARMING ? "the lamp is warming up" : "it is not ready",
                 messageKey(messageStringId));
}

// The lock wait asks again every second; in between it only needs to hear
// a cancel, which it reads from cancelRequested.
void ScanCallbacks::pumpMessages()
{
    std::this_thread::sleep_for(kLockPoll);
    if (signals_.cancelled)
        cancelRequested_ = 1;
}

void ScanCallbacks::close()
{
    debugMessage(2, "lock wait over");
}

int64_t ScanCallbacks::nowSeconds()
{
    using namespace std::chrono;
    return duration_cast<seconds>(steady_clock::now().time_since_epoch()).count();
}

bool ScanCallbacks::openProgress()
{
    streaming_();
    return true;
}

void ScanCallbacks::dispatchProgressMessages()
{
    if (abortSent_ || !(signals_.cancelled || signals_.stopWanted))
        return;
    debugMessage(2, "stopping the scan");
    abortSent_ = true;
    cancelRequested_ = 1;
    if (protocol_ && protocol_->sendEscCommandNoReply(makeCommand(CMD_ABORT)) != 0)
        debugMessage(1, "the abort command could not be sent");
}

void ScanCallbacks::showProgress(int percent)
{
    debugMessage(4, "%d%%", percent);
}

int ScanCallbacks::askOkCancel(unsigned textId, unsigned)
{
    if (textId == IDS_MESSAGE_ADF_PROMPT) {
        debugMessage(2, "the feeder is empty");
        signals_.feederEmpty = true;
    }
    return kIdCancel;
}

void ScanCallbacks::streamFailed(int reply)
{
    debugMessage(1, "the data stream ended with reply %d", reply);
    signals_.streamReply = reply;
}
