#pragma once
// One open scanner: the source's transport over the device files, and the
// scan engine run on a thread of its own per scan, its rows streamed to
// sane_read. sane_start returns once the scanner has taken the lock and
// been sent the start command (the lamp-warming and lock waits happen
// inside it), or with the status the scan ended with.
#include "RowStream.h"
#include "ScanCallbacks.h"
#include "StreamingRows.h"
#include "UsbTransportCore.h"

#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

class ScannerSession {
public:
    ScannerSession(std::unique_ptr<DeviceFiles> files, std::unique_ptr<SystemMutexes> lock, UsbIdentity identity);
    // Cancels a running scan, waits for the device to stop and closes it.
    ~ScannerSession();
    ScannerSession(const ScannerSession&) = delete;
    ScannerSession& operator=(const ScannerSession&) = delete;

    // Opens the device and takes its lock for the session's lifetime.
    SANE_Status open();
    SANE_Status start(const ScanRequest& request, const ScanImageGeometry& geometry);
    SANE_Status read(SANE_Byte* data, SANE_Int maxLength, SANE_Int* length);
    // Safe from a signal handler: only raises a flag that the scan thread
    // and a waiting sane_read look at.
    void cancel() { signals_.cancelled = true; }

    // From sane_start until its data has been read to the end, the failure
    // read, or sane_cancel.
    bool scanning();
    const ScanImageGeometry& geometry() const { return geometry_; }

private:
    enum class Phase { idle, preparing, streaming, ended };

    void runScan(ScanRequest request);
    void setPhase(Phase phase);
    void joinScan();

    std::unique_ptr<DeviceFiles> files_;
    std::unique_ptr<SystemMutexes> lock_;
    UsbTransportCore transport_;
    volatile int cancelRequested_ = 0;  // the engine's flag, written on the scan thread only
    ScanSignals signals_;
    ScanCallbacks callbacks_;
    ScannerProtocol protocol_;
    scancodec::StreamDecoder decoder_;
    RowStream rows_;
    StreamingRows sink_;
    bool opened_ = false;

    ScanImageGeometry geometry_;
    std::thread thread_;
    std::mutex mutex_;
    std::condition_variable phaseChanged_;
    Phase phase_ = Phase::idle;
    SANE_Status outcome_ = SANE_STATUS_GOOD;
};
