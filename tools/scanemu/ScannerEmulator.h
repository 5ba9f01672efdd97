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

    ScannerEmulator(EmulatorConfig config, PageImage page, Clock clock);

    // Bulk-out: commands, gathered into 8-byte packets.
    bool write(const uint8_t* src, uint32_t size, uint32_t* written, uint32_t* error);
    // Bulk-in: up to size bytes; a time-out when the device has nothing to say.
    bool read(uint8_t* dst, uint32_t size, uint32_t* received, uint32_t* error);

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
    void startScan();
    void produceNextBlock();
    std::vector<uint8_t> sampleImage() const;
    uint8_t feederDetail() const;
    bool warming() const;

    EmulatorConfig config_;
    PageImage page_;
    Clock clock_;

    std::vector<uint8_t> commandBytes_;
    std::vector<uint8_t> commandLog_;
    std::deque<uint8_t> bulkIn_;
    int64_t bytesDelivered_ = 0;
    bool disconnected_ = false;

    bool locked_ = false;
    Scan settings_;
    bool scanning_ = false;
    int pagesFed_ = 0;
    bool stopRequested_ = false;
    int blockNumber_ = 0;
    std::vector<uint8_t> coded_;
    size_t codedSent_ = 0;
};
