#include "ScannerEmulator.h"

#include "StreamEncoder.h"

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
constexpr uint8_t STATUS_DATA_SIZE_MISMATCH = 7;

int word(const uint8_t* packet, int at) { return packet[at] | packet[at + 1] << 8; }

}  // namespace

ScannerEmulator::ScannerEmulator(EmulatorConfig config, PageImage page, Clock clock, Sleep sleep)
    : config_(std::move(config)), page_(std::move(page)), clock_(std::move(clock)), sleep_(std::move(sleep))
{
}

void ScannerEmulator::pipesOpened()
{
    if (sessions_++ == 0) {
        // What an earlier program left behind: the tail of a data block.
        for (int i = 0; i < config_.leftoverBytes; ++i)
            bulkIn_.push_back(static_cast<uint8_t>(i * 37 + 11));
    }
    if (disconnected_ && config_.disconnectOnce) {
        disconnected_ = false;
        resetDevice();
    }
    if (silent_ && config_.timeoutOnce)
        silent_ = false;
}

// Plugged back in: unlocked, no scan, nothing in the pipe.
void ScannerEmulator::resetDevice()
{
    locked_ = false;
    scanning_ = false;
    stopRequested_ = false;
    coded_ = {};
    bulkIn_.clear();
    heldReplies_.clear();
    commandBytes_.clear();
}

bool ScannerEmulator::warming() const { return clock_() < config_.warmingSeconds; }

uint8_t ScannerEmulator::feederDetail() const
{
    if (config_.scanCoverOpen)
        return 4;
    if (config_.feederDetail == 1 && config_.feederPages != kNever && pagesFed_ >= config_.feederPages)
        return 0;
    return static_cast<uint8_t>(config_.feederDetail);
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

// Byte-count faults start when the delivered bytes reach their count.
void ScannerEmulator::noteByteFaults()
{
    const EmulatorConfig& c = config_;
    if (!disconnectSpent_ && c.disconnectAtByte != kNever && bytesDelivered_ >= c.disconnectAtByte) {
        disconnectSpent_ = true;
        disconnected_ = true;
    }
    if (!timeoutSpent_ && c.timeoutAtByte != kNever && bytesDelivered_ >= c.timeoutAtByte) {
        timeoutSpent_ = true;
        silent_ = true;
    }
    if (!stallSpent_ && c.stallAtByte != kNever && bytesDelivered_ >= c.stallAtByte) {
        stallSpent_ = true;
        stallUntil_ = clock_() + c.stallSeconds;
    }
    if (!emptyReadsSpent_ && c.emptyReadsAtByte != kNever && bytesDelivered_ >= c.emptyReadsAtByte) {
        emptyReadsSpent_ = true;
        emptyReadsLeft_ = c.emptyReads;
    }
}

// The nearest byte count ahead where a fault starts; a transfer stops there.
int64_t ScannerEmulator::nextByteFault() const
{
    int64_t next = kNever;
    auto consider = [&](bool spent, int64_t at) {
        if (!spent && at != kNever && at > bytesDelivered_ && (next == kNever || at < next))
            next = at;
    };
    consider(disconnectSpent_, config_.disconnectAtByte);
    consider(timeoutSpent_, config_.timeoutAtByte);
    consider(stallSpent_, config_.stallAtByte);
    consider(emptyReadsSpent_, config_.emptyReadsAtByte);
    return next;
}

// A read that finds nothing to deliver waits for its time-out, or less when
// the device will speak again before then.
void ScannerEmulator::waitFor(uint32_t timeoutMilliseconds, double until)
{
    double seconds = timeoutMilliseconds / 1000.0;
    if (until > 0)
        seconds = std::min(seconds, std::max(0.0, until - clock_()));
    if (sleep_ && seconds > 0)
        sleep_(seconds);
}

bool ScannerEmulator::read(uint8_t* dst, uint32_t size, uint32_t* received, uint32_t* error,
                           uint32_t timeoutMilliseconds)
{
    *received = 0;
    noteByteFaults();
    if (disconnected_) {
        *error = kErrorDeviceNotConnected;
        return false;
    }
    if (silent_) {
        waitFor(timeoutMilliseconds, 0);
        *error = kErrorTimeout;
        return false;
    }
    if (clock_() < stallUntil_) {
        waitFor(timeoutMilliseconds, stallUntil_);
        if (clock_() < stallUntil_) {
            *error = kErrorTimeout;
            return false;
        }
    }
    if (emptyReadsLeft_ > 0) {
        --emptyReadsLeft_;
        return true;
    }
    while (scanning_ && bulkIn_.size() < size)
        produceNextBlock();
    uint32_t n = std::min<uint32_t>(size, static_cast<uint32_t>(bulkIn_.size()));
    int64_t fault = nextByteFault();
    if (fault != kNever && bytesDelivered_ + n > fault)
        n = static_cast<uint32_t>(fault - bytesDelivered_);
    if (n == 0) {
        waitFor(timeoutMilliseconds, 0);
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
    if (scanning_)
        heldReplies_.insert(heldReplies_.end(), packet, packet + 8);
    else
        bulkIn_.insert(bulkIn_.end(), packet, packet + 8);
}

void ScannerEmulator::statusHeader(uint8_t status, uint8_t detail)
{
    const uint8_t header[8] = {0, 'S', 'S', status, detail, 0, 0, 0};
    bulkIn_.insert(bulkIn_.end(), header, header + 8);
}

// The stream's status header, then the replies held back while it ran.
void ScannerEmulator::endStream(uint8_t status, uint8_t detail)
{
    statusHeader(status, detail);
    scanning_ = false;
    coded_ = {};
    bulkIn_.insert(bulkIn_.end(), heldReplies_.begin(), heldReplies_.end());
    heldReplies_.clear();
}

// Whether block is the configured fault's; a fault configured once fires
// in the first scan that reaches it only.
bool ScannerEmulator::blockFault(int block, int faultBlock, bool once, bool& fired)
{
    if (block != faultBlock || (once && fired))
        return false;
    fired = true;
    return true;
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
        if (config_.jamAtLock && !(config_.jamOnce && jamFired_)) {
            jamFired_ = true;
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
    // The sheet is drawn in as the scan starts, whether or not it is read to the end.
    if (settings_.fromFeeder)
        ++pagesFed_;
    // The whole scan is coded at once: the encoder predicts every row from
    // the one above it and places the colour components by the line offsets.
    scancodec::EncoderSettings coding;
    coding.predictor = config_.predictor;
    coding.withHeader = true;
    std::copy(std::begin(config_.lineOffsets), std::end(config_.lineOffsets), coding.offsets);
    coded_.clear();
    codedSent_ = 0;
    if (scancodec::encodeStream(sampleImage().data(), settings_.width, settings_.height, settings_.channels, coding,
                                coded_) != scancodec::EncodeDone) {
        coded_.clear();
        statusHeader(STATUS_DATA_SIZE_MISMATCH, 0);
        return;
    }
    coded_.insert(coded_.end(), static_cast<size_t>(config_.paddingBytes), config_.paddingByte);
    scanning_ = true;
    stopRequested_ = false;
    blockNumber_ = 0;
}

// The frame cut from the page at the scan's resolution, as grey levels or
// RGB triples.
std::vector<uint8_t> ScannerEmulator::sampleImage() const
{
    const Scan& s = settings_;
    if (s.width <= 0 || s.height <= 0)
        return {};
    std::vector<uint8_t> image(static_cast<size_t>(s.width) * s.height * s.channels);
    uint8_t* out = image.data();
    for (int row = 0; row < s.height; ++row) {
        // The device offsets the frame's top in lines of the horizontal
        // resolution, just as the source computes it.
        int64_t unitY = static_cast<int64_t>(s.y) * kUnitsPerInch / s.hdpi +
                        static_cast<int64_t>(row) * kUnitsPerInch / s.vdpi;
        int pageY = static_cast<int>(unitY * page_.width() / kBedWidthUnits);
        for (int i = 0; i < s.width; ++i) {
            int64_t unitX = static_cast<int64_t>(s.x + i) * kUnitsPerInch / s.hdpi;
            int pageX = static_cast<int>(unitX * page_.width() / kBedWidthUnits);
            if (s.channels == 3) {
                page_.rgb(pageX, pageY, out);
                out += 3;
            } else {
                *out++ = page_.grey(pageX, pageY);
            }
        }
    }
    return image;
}

void ScannerEmulator::produceNextBlock()
{
    int block = blockNumber_++;
    if (stopRequested_) {
        endStream(STATUS_STOP_REQUESTED, 0);
        return;
    }
    if (blockFault(block, config_.jamAtBlock, config_.jamOnce, jamFired_)) {
        endStream(STATUS_FEEDER, kJamDetail);
        return;
    }
    if (codedSent_ == coded_.size()) {
        endStream(STATUS_OK, 0);
        return;
    }
    size_t n = std::min(static_cast<size_t>(config_.blockSize), coded_.size() - codedSent_);
    uint8_t header[8] = {0, 's', 'd', static_cast<uint8_t>(n & 0xFF), static_cast<uint8_t>(n >> 8), 0, 0, 0};
    // A header damaged on its way: the block's bytes still follow, and so
    // does the rest of the stream.
    if (blockFault(block, config_.garbageHeaderAtBlock, config_.garbageHeaderOnce, garbageFired_)) {
        const uint8_t garbage[8] = {0x5A, 'x', 'y', 0x12, 0x34, 0, 0, 0};
        std::copy(garbage, garbage + 8, header);
    }
    if (blockFault(block, config_.overlongPayloadAtBlock, config_.overlongPayloadOnce, overlongFired_)) {
        const uint8_t overlong[8] = {0, 's', 'd', 0xA0, 0x0F, 0, 0, 0};  // 4000 bytes announced
        bulkIn_.insert(bulkIn_.end(), overlong, overlong + 8);
        bulkIn_.insert(bulkIn_.end(), 4000, 0);
        return;
    }
    bulkIn_.insert(bulkIn_.end(), header, header + 8);
    bulkIn_.insert(bulkIn_.end(), coded_.begin() + codedSent_, coded_.begin() + codedSent_ + n);
    codedSent_ += n;
}
