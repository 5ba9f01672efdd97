#pragma once
// The scanner as its two bulk pipes show it: 8-byte escape commands in,
// 8-byte replies and the data stream of a scan out, with the faults the
// configuration asks for.
#include "EmulatorConfig.h"
#include "PageImage.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <vector>

class ScannerEmulator {
public:
    using Clock = std::function<double()>;  // seconds since the device was switched on
    // Lets the given seconds pass (a read waiting for its time-out); tests
    // advance their clock instead of sleeping.
    using Sleep = std::function<void(double seconds)>;

    ScannerEmulator(EmulatorConfig config, PageImage page, Clock clock, Sleep sleep = {});

    // The host opened the device's pipes for a new session.
    void pipesOpened();
    // Bulk-out: commands, gathered into 8-byte packets.
    bool write(const uint8_t* src, uint32_t size, uint32_t* written, uint32_t* error);
    // Bulk-in: up to size bytes. When the device has nothing to say the read
    // waits for timeoutMilliseconds and fails with the time-out error.
    bool read(uint8_t* dst, uint32_t size, uint32_t* received, uint32_t* error, uint32_t timeoutMilliseconds = 0);

    const EmulatorConfig& config() const { return config_; }
    bool locked() const { return locked_; }
    bool scanning() const { return scanning_; }
    // Every command letter received, in order.
    const std::vector<uint8_t>& commandLog() const { return commandLog_; }

private:
    struct Scan {
        int channels = 1;
        int hdpi = 300;
        int vdpi = 300;
        int x = 0;
        int y = 0;
        int width = 0;
        int height = 0;
        bool fromFeeder = false;
    };

    void handleCommand(const uint8_t* packet);
    void reply(uint8_t letter, uint8_t status, uint8_t detail);
    void statusHeader(uint8_t status, uint8_t detail);
    void endStream(uint8_t status, uint8_t detail);
    bool blockFault(int block, int faultBlock, bool once, bool& fired);
    void noteByteFaults();
    int64_t nextByteFault() const;
    void waitFor(uint32_t timeoutMilliseconds, double until);
    void resetDevice();
    void startScan();
    void produceNextBlock();
    std::vector<uint8_t> sampleImage() const;
    uint8_t feederDetail() const;
    bool warming() const;

    EmulatorConfig config_;
    PageImage page_;
    Clock clock_;
    Sleep sleep_;

    std::vector<uint8_t> commandBytes_;
    std::vector<uint8_t> commandLog_;
    std::deque<uint8_t> bulkIn_;
    // Replies to commands that arrive while a stream runs: the device sends
    // them after the stream's status header.
    std::vector<uint8_t> heldReplies_;
    int64_t bytesDelivered_ = 0;
    int sessions_ = 0;
    bool disconnected_ = false;
    bool silent_ = false;  // a time-out fault: nothing more comes
    double stallUntil_ = 0;
    int emptyReadsLeft_ = 0;
    // Faults that already happened (byte faults happen at most once; the
    // block and lock faults once when configured so).
    bool disconnectSpent_ = false;
    bool timeoutSpent_ = false;
    bool stallSpent_ = false;
    bool emptyReadsSpent_ = false;
    bool jamFired_ = false;
    bool garbageFired_ = false;
    bool overlongFired_ = false;

    bool locked_ = false;
    Scan settings_;
    bool scanning_ = false;
    int pagesFed_ = 0;
    bool stopRequested_ = false;
    int blockNumber_ = 0;
    std::vector<uint8_t> coded_;
    size_t codedSent_ = 0;
};
