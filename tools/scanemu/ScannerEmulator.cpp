#include "ScannerEmulator.h"

#include "RawStreamCoder.h"

#include <algorithm>

namespace {

constexpr uint32_t kErrorTimeout = 1460;
constexpr uint32_t kErrorDeviceNotConnected = 1167;
constexpr int kUnitsPerInch = 4800;
constexpr int kBedWidthUnits = 40800;

enum : uint8_t {
    STATUS_OK = 0,
    STATUS_ILLEGAL_COMMAND = 1,
    STATUS_NOT_LOCKED = 2,
    STATUS_WARMING = 3,
    STATUS_STOP_REQUESTED = 9,
    STATUS_FEEDER = 15,
};

constexpr uint8_t kJamDetail = 15;

int word(const uint8_t* packet, int at) { return packet[at] | packet[at + 1] << 8; }

}  // namespace

ScannerEmulator::ScannerEmulator(EmulatorConfig config, PageImage page, Clock clock)
    : config_(std::move(config)), page_(std::move(page)), clock_(std::move(clock))
{
}

bool ScannerEmulator::warming() const { return clock_() < config_.warmingSeconds; }

uint8_t ScannerEmulator::feederDetail() const
{
    return config_.scanCoverOpen ? 4 : static_cast<uint8_t>(config_.feederDetail);
}

bool ScannerEmulator::write(const uint8_t* src, uint32_t size, uint32_t* written, uint32_t* error)
{
    *written = 0;
    if (disconnected_) {
        *error = kErrorDeviceNotConnected;
        return false;
    }
    commandBytes_.insert(commandBytes_.end(), src, src + size);
    *written = size;
    size_t whole = commandBytes_.size() / 8 * 8;
    for (size_t at = 0; at < whole; at += 8)
        handleCommand(commandBytes_.data() + at);
    commandBytes_.erase(commandBytes_.begin(), commandBytes_.begin() + whole);
    return true;
}

bool ScannerEmulator::read(uint8_t* dst, uint32_t size, uint32_t* received, uint32_t* error)
{
    *received = 0;
    if (disconnected_) {
        *error = kErrorDeviceNotConnected;
        return false;
    }
    while (scanning_ && bulkIn_.size() < size)
        produceNextBlock();
    uint32_t n = std::min<uint32_t>(size, static_cast<uint32_t>(bulkIn_.size()));
    int64_t limit = kNever;
    if (config_.disconnectAtByte != kNever)
        limit = config_.disconnectAtByte;
    if (config_.timeoutAtByte != kNever && (limit == kNever || config_.timeoutAtByte < limit))
        limit = config_.timeoutAtByte;
    if (limit != kNever && bytesDelivered_ + n >= limit) {
        n = static_cast<uint32_t>(std::max<int64_t>(0, limit - bytesDelivered_));
        if (n == 0) {
            bool gone = config_.disconnectAtByte != kNever && bytesDelivered_ >= config_.disconnectAtByte;
            disconnected_ = gone;
            *error = gone ? kErrorDeviceNotConnected : kErrorTimeout;
            return false;
        }
    }
    if (n == 0) {
        *error = kErrorTimeout;
        return false;
    }
    std::copy_n(bulkIn_.begin(), n, dst);
    bulkIn_.erase(bulkIn_.begin(), bulkIn_.begin() + n);
    bytesDelivered_ += n;
    *received = n;
    return true;
}

void ScannerEmulator::reply(uint8_t letter, uint8_t status, uint8_t detail)
{
    const uint8_t packet[8] = {0x1B, 0x53, letter, status, detail, 0, 0, 0};
    bulkIn_.insert(bulkIn_.end(), packet, packet + 8);
}

void ScannerEmulator::statusHeader(uint8_t status, uint8_t detail)
{
    const uint8_t header[8] = {0, 'S', 'S', status, detail, 0, 0, 0};
    bulkIn_.insert(bulkIn_.end(), header, header + 8);
}

void ScannerEmulator::handleCommand(const uint8_t* p)
{
    uint8_t letter = p[2];
    commandLog_.push_back(letter);
    if (p[0] != 0x1B || p[1] != 0x53) {
        reply(letter, STATUS_ILLEGAL_COMMAND, 0);
        return;
    }
    if (letter == 'A') {
        if (scanning_)
            stopRequested_ = true;
        return;
    }
    if (letter == 'G') {
        if (!locked_) {
            statusHeader(STATUS_NOT_LOCKED, 0);
            return;
        }
        startScan();
        return;
    }
    if (letter == 'F') {
        reply(letter, warming() ? STATUS_WARMING : STATUS_OK, feederDetail());
        return;
    }
    if (letter == 'L') {
        if (config_.jamAtLock) {
            reply(letter, STATUS_FEEDER, kJamDetail);
        } else if (warming()) {
            reply(letter, STATUS_WARMING, 0);
        } else if (config_.notLockedDetail != kNever &&
                   (config_.notLockedSeconds == 0 || clock_() < config_.notLockedSeconds)) {
            reply(letter, STATUS_NOT_LOCKED, static_cast<uint8_t>(config_.notLockedDetail));
        } else {
            locked_ = true;
            reply(letter, STATUS_OK, 0);
        }
        return;
    }
    if (letter == 'U') {
        locked_ = false;
        reply(letter, STATUS_OK, 0);
        return;
    }
    static const uint8_t kSettings[] = {'C', 'D', 'O', 'Z', 'S', 'M', 'I'};
    if (std::find(std::begin(kSettings), std::end(kSettings), letter) == std::end(kSettings)) {
        reply(letter, STATUS_ILLEGAL_COMMAND, 0);
        return;
    }
    if (!locked_) {
        reply(letter, STATUS_NOT_LOCKED, 0);
        return;
    }
    switch (letter) {
    case 'C':
        settings_.channels = p[3] == 3 ? 3 : 1;
        break;
    case 'D':
        settings_.hdpi = std::max(1, word(p, 3));
        settings_.vdpi = std::max(1, word(p, 5));
        break;
    case 'O':
        settings_.x = word(p, 3);
        settings_.y = word(p, 5);
        break;
    case 'Z':
        settings_.width = word(p, 3);
        settings_.height = word(p, 5);
        break;
    case 'S':
        settings_.fromFeeder = p[3] == 0;
        break;
    default:
        break;
    }
    reply(letter, STATUS_OK, 0);
}

void ScannerEmulator::startScan()
{
    if (settings_.fromFeeder && feederDetail() != 1) {
        statusHeader(STATUS_FEEDER, static_cast<uint8_t>(feederDetail() == 0 ? 0 : kJamDetail));
        return;
    }
    scanning_ = true;
    stopRequested_ = false;
    blockNumber_ = 0;
    nextRow_ = 0;
    coded_.clear();
    std::vector<uint8_t> header = rawStreamHeader();
    coded_.insert(coded_.end(), header.begin(), header.end());
}

// Rows are coded only as the stream needs them, so a large scan never
// sits in memory whole.
bool ScannerEmulator::refillCodedBytes()
{
    while (coded_.size() < static_cast<size_t>(config_.blockSize) && nextRow_ < settings_.height)
        codeRow(nextRow_++);
    return !coded_.empty();
}

void ScannerEmulator::codeRow(int row)
{
    const Scan& s = settings_;
    int samples = s.width * s.channels;
    rowLevels_.resize(static_cast<size_t>(std::max(samples, 0)));
    // The device offsets the frame's top in lines of the horizontal
    // resolution, just as the source computes it.
    int64_t unitY = static_cast<int64_t>(s.y) * kUnitsPerInch / s.hdpi +
                    static_cast<int64_t>(row) * kUnitsPerInch / s.vdpi;
    int pageY = static_cast<int>(unitY * page_.width() / kBedWidthUnits);
    for (int i = 0; i < s.width; ++i) {
        int64_t unitX = static_cast<int64_t>(s.x + i) * kUnitsPerInch / s.hdpi;
        int pageX = static_cast<int>(unitX * page_.width() / kBedWidthUnits);
        if (s.channels == 3)
            page_.rgb(pageX, pageY, &rowLevels_[static_cast<size_t>(i) * 3]);
        else
            rowLevels_[i] = page_.grey(pageX, pageY);
    }
    std::vector<uint8_t> out;
    appendRawCodedRow(rowLevels_.data(), static_cast<uint32_t>(samples), out);
    coded_.insert(coded_.end(), out.begin(), out.end());
}

void ScannerEmulator::produceNextBlock()
{
    int block = blockNumber_++;
    if (stopRequested_) {
        statusHeader(STATUS_STOP_REQUESTED, 0);
        scanning_ = false;
        return;
    }
    if (block == config_.jamAtBlock) {
        statusHeader(STATUS_FEEDER, kJamDetail);
        scanning_ = false;
        return;
    }
    if (block == config_.garbageHeaderAtBlock) {
        const uint8_t garbage[8] = {0x5A, 'x', 'y', 0x12, 0x34, 0, 0, 0};
        bulkIn_.insert(bulkIn_.end(), garbage, garbage + 8);
        scanning_ = false;
        return;
    }
    if (block == config_.overlongPayloadAtBlock) {
        const uint8_t header[8] = {0, 's', 'd', 0xA0, 0x0F, 0, 0, 0};  // 4000 bytes announced
        bulkIn_.insert(bulkIn_.end(), header, header + 8);
        bulkIn_.insert(bulkIn_.end(), 4000, 0);
        scanning_ = false;
        return;
    }
    if (!refillCodedBytes()) {
        statusHeader(STATUS_OK, 0);
        scanning_ = false;
        return;
    }
    uint32_t n = std::min<uint32_t>(static_cast<uint32_t>(config_.blockSize), static_cast<uint32_t>(coded_.size()));
    const uint8_t header[8] = {0, 's', 'd', static_cast<uint8_t>(n & 0xFF), static_cast<uint8_t>(n >> 8), 0, 0, 0};
    bulkIn_.insert(bulkIn_.end(), header, header + 8);
    bulkIn_.insert(bulkIn_.end(), coded_.begin(), coded_.begin() + n);
    coded_.erase(coded_.begin(), coded_.begin() + n);
}
