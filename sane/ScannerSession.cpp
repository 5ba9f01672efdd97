#include "ScannerSession.h"

#include "Debug.h"
#include "ScanReplyResult.h"
#include "ScanStatus.h"

namespace {
// Rows between the scan and the reader: enough to ride out the reader's
// pauses (sixteen rows of a 600 dpi colour letter page), small enough to
// stay in the processor's cache between the two threads.
constexpr size_t kRowStreamBytes = 1 << 18;
}

ScannerSession::ScannerSession(std::unique_ptr<DeviceFiles> files, std::unique_ptr<SystemMutexes> lock,
                               UsbIdentity identity)
    : files_(std::move(files)), lock_(std::move(lock)), transport_(*files_, *lock_, identity),
      callbacks_(signals_, cancelRequested_, [this] { setPhase(Phase::streaming); }),
      protocol_(transport_, callbacks_), rows_(signals_.cancelled, kRowStreamBytes), sink_(rows_)
{
    callbacks_.attach(protocol_);
}

ScannerSession::~ScannerSession()
{
    cancel();
    joinScan();
    if (opened_)
        transport_.close();
}

SANE_Status ScannerSession::open()
{
    int result = transport_.open();
    if (result != SCAN_REPLY_SUCCESS) {
        uint32_t lastError = files_->lastError();
        transport_.close();
        return saneStatusForOpen(result, lastError);
    }
    opened_ = true;
    return SANE_STATUS_GOOD;
}

bool ScannerSession::scanning()
{
    // Once cancelled the scan is over for the front end, which need not read
    // again; the device's stop is waited for by the next sane_start.
    if (signals_.cancelled)
        return false;
    std::lock_guard<std::mutex> lock(mutex_);
    return phase_ != Phase::idle;
}

void ScannerSession::setPhase(Phase phase)
{
    std::lock_guard<std::mutex> lock(mutex_);
    phase_ = phase;
    phaseChanged_.notify_all();
}

void ScannerSession::joinScan()
{
    if (thread_.joinable())
        thread_.join();
}

SANE_Status ScannerSession::start(const ScanRequest& request, const ScanImageGeometry& geometry)
{
    {
        // A cancelled scan is waited for: the device must have stopped and
        // been unlocked before it can scan again.
        std::lock_guard<std::mutex> lock(mutex_);
        bool running = phase_ == Phase::preparing || phase_ == Phase::streaming;
        if (running && !signals_.cancelled)
            return SANE_STATUS_DEVICE_BUSY;
    }
    joinScan();
    signals_.reset();
    callbacks_.reset();
    rows_.begin();
    geometry_ = geometry;
    setPhase(Phase::preparing);
    thread_ = std::thread(&ScannerSession::runScan, this, request);

    std::unique_lock<std::mutex> lock(mutex_);
    // A scan that must stop for the feeder's state has still been started;
    // its status comes once the device has stopped.
    phaseChanged_.wait(lock, [this] {
        return phase_ == Phase::ended || (phase_ == Phase::streaming && !signals_.stopWanted);
    });
    if (phase_ != Phase::ended || outcome_ == SANE_STATUS_GOOD)
        return SANE_STATUS_GOOD;
    SANE_Status failed = outcome_;
    phase_ = Phase::idle;
    lock.unlock();
    joinScan();
    return failed;
}

void ScannerSession::runScan(ScanRequest request)
{
    ScanJobServices services{protocol_, callbacks_, callbacks_, callbacks_, sink_, callbacks_, cancelRequested_,
                             &decoder_};
    DibHandle image = nullptr;
    ScanOutcome outcome;
    outcome.result = runScanJob(services, request, 0, 0, &image);
    outcome.cancelledByFrontend = signals_.cancelled;
    outcome.feederEmpty = signals_.feederEmpty;
    outcome.streamReply = signals_.streamReply;
    outcome.message = signals_.firstMessage;
    outcome.lockWait = signals_.lockWait;
    SANE_Status status = saneStatusFor(outcome);
    // However the engine ended, fewer rows than announced is no image.
    if (status == SANE_STATUS_GOOD && sink_.rowsDelivered() != geometry_.height) {
        debugMessage(1, "the scan gave %d of %d rows", sink_.rowsDelivered(), geometry_.height);
        status = SANE_STATUS_IO_ERROR;
    }
    debugMessage(status == SANE_STATUS_GOOD ? 2 : 1, "scan ended: engine result %d, %s", outcome.result,
                 statusText(status));
    rows_.end(status == SANE_STATUS_GOOD ? SANE_STATUS_EOF : status);
    std::lock_guard<std::mutex> lock(mutex_);
    outcome_ = status;
    phase_ = Phase::ended;
    phaseChanged_.notify_all();
}

SANE_Status ScannerSession::read(SANE_Byte* data, SANE_Int maxLength, SANE_Int* length)
{
    *length = 0;
    if (maxLength <= 0)
        return SANE_STATUS_INVAL;
    size_t taken = 0;
    SANE_Status status = rows_.take(data, static_cast<size_t>(maxLength), &taken);
    *length = static_cast<SANE_Int>(taken);
    if (status != SANE_STATUS_GOOD) {
        // The end, or a cancel: the scan thread finishes the device's stop
        // and unlock before the next scan may start.
        joinScan();
        std::lock_guard<std::mutex> lock(mutex_);
        phase_ = Phase::idle;
    }
    return status;
}
