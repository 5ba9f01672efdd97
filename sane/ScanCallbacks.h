#pragma once
// Everything the engine would show a user or ask of the source's window,
// answered for a SANE scan on its own thread: messages and traces become
// debug output and are kept for the scan's status, the lamp-warming wait
// polls sane_cancel instead of a dialog, the feeder prompt is answered
// with Cancel (a SANE front end hears SANE_STATUS_NO_DOCS instead), and a
// cancel reaches the device as the progress dialog's Cancel button does:
// with the abort command, after which the engine reads to the device's stop
// and unlocks.
#include "ScanJob.h"

#include <atomic>
#include <functional>

// Between the caller's thread and the scan thread.
struct ScanSignals {
    std::atomic<bool> cancelled{false};   // sane_cancel, which may come from a signal handler
    std::atomic<bool> stopWanted{false};  // a message nobody is there to answer stops the scan
    std::atomic<bool> feederEmpty{false};
    std::atomic<int> streamReply{0};
    std::atomic<unsigned> firstMessage{0};
    std::atomic<unsigned> lockWait{0};  // the lamp-warming dialog's text

    void reset();
};

class ScanCallbacks : public DeviceNotices,
                      public LampWarmingView,
                      public SecondsClock,
                      public ScanJobView,
                      public ExecutionState {
public:
    // streaming: the device has been sent the start command.
    ScanCallbacks(ScanSignals& signals, volatile int& cancelRequested, std::function<void()> streaming)
        : signals_(signals), cancelRequested_(cancelRequested), streaming_(std::move(streaming))
    {
    }

    // The protocol that carries the abort command.
    void attach(ScannerProtocol& protocol) { protocol_ = &protocol; }
    // Before each scan.
    void reset() { abortSent_ = false; }

    void trace(const char* text) override;
    void showWarning(unsigned stringId, bool show) override;
    void traceWarningValue(unsigned stringId, int value) override;
    std::string systemErrorText(uint32_t errorCode) override;

    void open(unsigned messageStringId) override;
    void pumpMessages() override;
    void close() override;

    int64_t nowSeconds() override;

    bool openProgress() override;
    void dispatchProgressMessages() override;
    void showProgress(int percent) override;
    void closeProgress() override {}
    int askOkCancel(unsigned textId, unsigned captionId) override;
    void streamFailed(int reply) override;

    void keepAwake() override {}
    void restore() override {}

private:
    ScanSignals& signals_;
    volatile int& cancelRequested_;
    std::function<void()> streaming_;
    ScannerProtocol* protocol_ = nullptr;
    bool abortSent_ = false;
};
