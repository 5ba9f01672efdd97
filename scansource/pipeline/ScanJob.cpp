#include "ScanJob.h"

#include "DecoderInstance.h"
#include "DeliveredImage.h"
#include "StringIds.h"
#include "ScanReplyResult.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <memory>
#include <new>

namespace {

constexpr int kRawBufferSize = 32768;
constexpr int kDecodeBufferSize = 32768;
constexpr int kMaxResolution = 2400;
// A block is read only while this much is free. The device's blocks are
// 1024 bytes, but a header may announce up to kMaxScanPayload, and such a
// block must never land on bytes the decoder has not taken yet.
constexpr int kReadWhenFree = kMaxScanPayload + 1;
constexpr int IDOK_ANSWER = 1;
constexpr int IDCANCEL_ANSWER = 2;
// A stream may pause (the scanner moves the paper, recalibrates); one that
// stays silent this long has stopped.
constexpr int64_t kStreamSilenceLimitSeconds = 30;
// Reading on after the stop command ends this long after it started: a
// scanner that ignores the stop is purged instead.
constexpr int64_t kStopReadLimitSeconds = 10;
// Coded rows occupy whole 16-byte units: this much after the last row is a
// row the image does not have. A device may fill its last block up (to a
// whole packet or block), so bytes of a fill value do not count.
constexpr int kCodedRowUnit = 16;

bool isFill(uint8_t byte) { return byte == 0x00 || byte == 0xFF; }

int unfilledBytes(const uint8_t* bytes, int length)
{
    return static_cast<int>(std::count_if(bytes, bytes + length, [](uint8_t b) { return !isFill(b); }));
}

int64_t stride(const ScanImageGeometry& g)
{
    int64_t bits = static_cast<int64_t>(g.width) * (g.pixelType == PIXEL_TYPE_BLACK_WHITE ? 1 : 8 * g.channels);
    return (bits + 31) / 32 * 4;
}

// The circular raw buffer: blocks are written at the write offset, split
// where they run past the end; the decoder reads circularly from its own
// position and frees what it consumed.
class RawRing {
public:
    bool allocate()
    {
        bytes_.reset(new (std::nothrow) uint8_t[kRawBufferSize]);
        return bytes_ != nullptr;
    }
    const uint8_t* data() const { return bytes_.get(); }
    int freeBytes() const { return free_; }
    int buffered() const { return kRawBufferSize - free_; }
    void put(const uint8_t* src, int length)
    {
        int first = std::min(length, kRawBufferSize - writeOffset_);
        std::memcpy(bytes_.get() + writeOffset_, src, static_cast<size_t>(first));
        std::memcpy(bytes_.get(), src + first, static_cast<size_t>(length - first));
        writeOffset_ = (writeOffset_ + length) & (kRawBufferSize - 1);
        free_ -= length;
    }
    void release(int consumed) { free_ += consumed; }
    // Of the last n bytes put, those that are no fill.
    int unfilledTail(int n) const
    {
        int count = 0;
        for (int i = 1; i <= n; ++i)
            count += isFill(bytes_[(writeOffset_ - i) & (kRawBufferSize - 1)]) ? 0 : 1;
        return count;
    }

private:
    std::unique_ptr<uint8_t[]> bytes_;
    int writeOffset_ = 0;
    int free_ = kRawBufferSize;
};

struct StreamErrorMessage {
    unsigned stringId;
    bool show;
};

// The message of a reply that ends the read loop; 103 (stop requested)
// has none. A time-out is shown too: otherwise the user is left with an
// empty transfer and no word why.
StreamErrorMessage streamErrorMessage(int reply)
{
    switch (reply) {
    case SCAN_REPLY_DEVICE_ERROR:
    case SCAN_REPLY_FEEDER_EMPTY:
    case SCAN_REPLY_FEEDER_LOADED:
    case SCAN_REPLY_FEEDER_JAM:
        return {IDS_ERROR_ADF_JAM, true};
    case SCAN_REPLY_TIMEOUT:
        return {IDS_ERROR_TIMEOUT_MONO, true};
    case SCAN_REPLY_STOP_REQUESTED:
        return {0, false};
    case SCAN_REPLY_BAD_HEADER:
        return {IDS_ERROR_DISCONNECTION, true};
    case SCAN_REPLY_IN_USE:
        return {IDS_ERROR_OTHER_APP_USING_SCANNER, true};
    default:
        return {IDS_ERROR_INTERNAL_FAILURE, true};
    }
}

class ScanJob {
public:
    ScanJob(ScanJobServices& services, const ScanRequest& request, const ScanImageGeometry& geometry)
        : s_(services), request_(request), p_(request.parameters), geometry_(geometry),
          notices_(services.protocol.notices()), decoder_(services.decoder ? *services.decoder : sourceDecoder())
    {
    }

    int run(int dibOrder, int forMemoryTransfer, DibHandle* dib);

private:
    enum class Ending { scanned, cancelled, setupFailed, outOfMemory };
    enum class Unlock { none, withReply, withoutReply };

    bool command(const CommandPacket& packet, unsigned failureId);
    bool sendSettings();
    bool feederReady();
    struct RowOutput {
        uint8_t* bytes;
        int size;
    };
    RowOutput rowOutput();
    Ending readAndDecode();
    int readStreamReply(int* length);
    bool keepWaitingForSilentDevice();
    Ending endStream(unsigned stringId, bool show);
    Ending decodeFailure(int result);
    Ending rowsOutOfStep();
    Unlock stopStream();
    void showProgressFor(int64_t total);
    template <typename Step>
    bool guarded(Step step);

    ScanJobServices& s_;
    const ScanRequest& request_;
    const ScanParameters& p_;
    ScanImageGeometry geometry_;
    DeviceNotices& notices_;
    scancodec::StreamDecoder& decoder_;
    RawRing raw_;
    std::unique_ptr<uint8_t[]> decoded_;
    std::unique_ptr<uint8_t[]> block_;
    int lastReply_ = SCAN_REPLY_SUCCESS;
    int lastPercent_ = 0;
    // From the start command until a status header ends the stream.
    bool streamRunning_ = false;
    // The last read found the device silent, since this second.
    bool deviceSilent_ = false;
    int64_t silentSince_ = 0;
    // Bytes other than fill that came after the last row.
    int64_t afterLastRow_ = 0;
};

bool ScanJob::command(const CommandPacket& packet, unsigned failureId)
{
    if (s_.protocol.writeEscCommand(packet) == SCANCMD_RESULT_SUCCESS)
        return true;
    notices_.showWarning(failureId, true);
    return false;
}

bool ScanJob::sendSettings()
{
    DeviceResolution resolution{geometry_.hdpi, geometry_.vdpi};
    DeviceFrame frame = deviceFrame(p_, resolution);
    if (!command(colourModeCommand(p_.pixelType), IDS_ERROR_SCAN_SETTING) ||
        !command(resolutionCommand(resolution), IDS_ERROR_SCAN_RESOLUTION) ||
        !command(originCommand(frame), IDS_ERROR_SCAN_OFFSET) || !command(sizeCommand(frame), IDS_ERROR_SCAN_SIZE))
        return false;
    if (request_.feederEnabled) {
        // A feeder that cannot feed gets no source command; the scanner
        // keeps its own choice.
        if (s_.protocol.queryFeederStatus(false) == 0 && !command(sourceCommand(false), IDS_ERROR_SCAN_SOURCE))
            return false;
    } else if (!command(sourceCommand(true), IDS_ERROR_SCAN_SOURCE)) {
        return false;
    }
    if (!command(brightnessContrastCommand(p_), IDS_ERROR_SCAN_CLIPPING))
        return false;
    if (p_.descreen && s_.protocol.writeEscCommand(filterCommand(request_.filter)) != SCANCMD_RESULT_SUCCESS)
        notices_.showWarning(IDS_ERROR_SET_FILTER, false);
    if (s_.protocol.startScanStream() != USB_OK) {
        notices_.showWarning(IDS_ERROR_SCAN_START, true);
        return false;
    }
    streamRunning_ = true;
    return true;
}

// Asks for paper while the feeder is empty; false when the scan must end
// (the user cancelled, or the scanner did not answer).
bool ScanJob::feederReady()
{
    for (;;) {
        int status = s_.protocol.queryFeederStatus(true);
        if (status == 1) {
            if (s_.view.askOkCancel(IDS_MESSAGE_ADF_PROMPT, IDS_TWAINUI_CAPTION) != IDOK_ANSWER) {
                s_.cancelRequested = 1;
                return false;
            }
            continue;
        }
        if (status == SCAN_REPLY_BAD_HEADER) {
            s_.cancelRequested = 1;
            return false;
        }
        return true;
    }
}

void ScanJob::showProgressFor(int64_t total)
{
    s_.view.dispatchProgressMessages();
    double imageSize = static_cast<double>(stride(geometry_) * geometry_.height);
    double fraction = static_cast<double>(total) * 100.0 / imageSize;
    if (geometry_.pixelType == PIXEL_TYPE_BLACK_WHITE)
        fraction *= 0.125;
    int percent = static_cast<int>(std::min(fraction, 100.0));
    if (percent > lastPercent_ || percent == 0) {
        s_.view.showProgress(percent);
        lastPercent_ = percent;
    }
}

ScanJob::Ending ScanJob::endStream(unsigned stringId, bool show)
{
    if (stringId)
        notices_.showWarning(stringId, show);
    return Ending::cancelled;
}

ScanJob::Ending ScanJob::decodeFailure(int result)
{
    if (result == scancodec::DecodeOutOfMemory) {
        notices_.showWarning(IDS_ERROR_NO_MEMORY_FOR_DIB, true);
        return Ending::outOfMemory;
    }
    notices_.showWarning(IDS_ERROR_DECOMP_MORE, true);
    return Ending::setupFailed;
}

// Where the next row is decoded: into its place in the image when the
// bitmap building offers one, else into the decode buffer.
ScanJob::RowOutput ScanJob::rowOutput()
{
    DecodedRowPlace place = s_.bitmap.nextRowPlace();
    if (!place.bytes) {
        decoder_.setColourOrder(scancodec::ColourOrder::RedFirst);
        return {decoded_.get(), kDecodeBufferSize};
    }
    decoder_.setColourOrder(place.blueFirst ? scancodec::ColourOrder::BlueFirst : scancodec::ColourOrder::RedFirst);
    return {place.bytes, geometry_.width * geometry_.channels};
}

// The device sends more than the image's rows: its frame and ours differ,
// and what was decoded is not the page.
ScanJob::Ending ScanJob::rowsOutOfStep()
{
    notices_.trace("Scan data beyond the last row");
    return decodeFailure(scancodec::DecodeCorruptData);
}

// The device said nothing for a transfer time-out: the dialog is kept
// alive while it is waited for, unless the user cancels or the silence
// has lasted too long.
bool ScanJob::keepWaitingForSilentDevice()
{
    int64_t now = s_.clock.nowSeconds();
    if (!deviceSilent_ || now < silentSince_) {
        deviceSilent_ = true;
        silentSince_ = now;
    }
    if (!s_.cancelRequested)
        s_.view.dispatchProgressMessages();
    return !s_.cancelRequested && now - silentSince_ < kStreamSilenceLimitSeconds;
}

// The next reply of the stream; 102 only when the device stayed silent
// for too long or the user cancelled while it was silent.
int ScanJob::readStreamReply(int* length)
{
    for (;;) {
        int reply = s_.protocol.readScanReply(length, block_.get());
        if (reply != SCAN_REPLY_TIMEOUT) {
            deviceSilent_ = false;
            if (reply != SCAN_REPLY_SUCCESS && reply != SCAN_REPLY_BAD_HEADER)
                streamRunning_ = false;  // a status header ends the stream
            return reply;
        }
        if (!keepWaitingForSilentDevice())
            return reply;
    }
}

ScanJob::Ending ScanJob::readAndDecode()
{
    int64_t total = 0;
    bool lastRow = false;
    while (lastReply_ == SCAN_REPLY_SUCCESS) {
        while (raw_.freeBytes() >= kReadWhenFree) {
            int length = 0;
            int reply = readStreamReply(&length);
            lastReply_ = reply;
            if (reply == SCAN_REPLY_TIMEOUT && s_.cancelRequested)
                return Ending::cancelled;
            if (reply != SCAN_REPLY_SUCCESS && reply != SCAN_REPLY_STATUS_OK) {
                StreamErrorMessage message = streamErrorMessage(reply);
                Ending ending = endStream(message.stringId, message.show);
                s_.view.streamFailed(reply);
                return ending;
            }
            // Whatever follows the last row is not kept, so it cannot fill
            // the buffer; more than padding means the rows are out of step.
            if (length > 0 && !lastRow)
                raw_.put(block_.get(), length);
            else
                afterLastRow_ += unfilledBytes(block_.get(), length);
            if (afterLastRow_ >= kCodedRowUnit)
                return rowsOutOfStep();
            if (!s_.cancelRequested)
                showProgressFor(total);
            if (reply == SCAN_REPLY_STATUS_OK)
                break;
        }
        if (lastRow)
            continue;
        int consumed = 0;
        int produced = 0;
        RowOutput output = rowOutput();
        int result = decoder_.decodeBlock(raw_.data(), kRawBufferSize, raw_.buffered(), &consumed, output.bytes, output.size,
                                 &produced);
        if (result == scancodec::DecodeMoreRows || result == scancodec::DecodeLastRow ||
            result == scancodec::DecodeNeedsInput) {
            s_.bitmap.appendDecodedRow(output.bytes, produced);
            raw_.release(consumed);
            total += produced;
            lastRow = result == scancodec::DecodeLastRow;
            if (lastRow) {
                afterLastRow_ = raw_.unfilledTail(raw_.buffered());
                raw_.release(raw_.buffered());
                if (afterLastRow_ >= kCodedRowUnit)
                    return rowsOutOfStep();
            }
        } else {
            return decodeFailure(result);
        }
    }
    // The stream has ended: decode what is buffered. A row still waiting
    // for input now means the stream was short.
    while (!lastRow && !s_.cancelRequested) {
        int consumed = 0;
        int produced = 0;
        RowOutput output = rowOutput();
        int result = decoder_.decodeBlock(raw_.data(), kRawBufferSize, raw_.buffered(), &consumed, output.bytes, output.size,
                                 &produced);
        if (result != scancodec::DecodeMoreRows && result != scancodec::DecodeLastRow)
            return decodeFailure(result == scancodec::DecodeNeedsInput ? scancodec::DecodeCorruptData : result);
        s_.bitmap.appendDecodedRow(output.bytes, produced);
        raw_.release(consumed);
        lastRow = result == scancodec::DecodeLastRow;
        if (lastRow && raw_.unfilledTail(raw_.buffered()) >= kCodedRowUnit)
            return rowsOutOfStep();
    }
    return s_.cancelRequested ? Ending::cancelled : Ending::scanned;
}

// The engine stopped reading before the status header that ends the stream
// (a fault, or Cancel while the device was silent): the stop command, then
// the rest of the stream up to that header, so that the unlock's reply is
// not read out of image data. Answers how the unlock is to go out.
ScanJob::Unlock ScanJob::stopStream()
{
    // Cancel's own button has sent the stop command.
    if (!s_.cancelRequested)
        s_.protocol.sendEscCommandNoReply(makeCommand(CMD_ABORT));
    // A silent device is not waited for again: its unlock goes out without
    // waiting for the reply, and the purge at the end takes what comes late.
    if (deviceSilent_)
        return Unlock::withoutReply;
    int64_t started = s_.clock.nowSeconds();
    for (;;) {
        int length = 0;
        int reply = s_.protocol.readScanReply(&length, block_.get());
        if (reply == SCAN_REPLY_TIMEOUT)
            return Unlock::withoutReply;
        if (reply == SCAN_REPLY_BAD_HEADER)
            break;
        if (reply != SCAN_REPLY_SUCCESS)
            return Unlock::withReply;
        int64_t now = s_.clock.nowSeconds();
        if (now < started || now - started >= kStopReadLimitSeconds)
            break;
        if (!s_.cancelRequested)
            s_.view.dispatchProgressMessages();
    }
    // Out of step with the device: throw away what it still sends.
    s_.protocol.link().purge();
    return Unlock::withReply;
}

// What a step of the scan throws (a failed allocation: std::bad_alloc,
// std::length_error) ends the scan as a want of memory does, so that the
// steps after it still stop and unlock the scanner and free the bitmap.
template <typename Step>
bool ScanJob::guarded(Step step)
{
    try {
        step();
        return true;
    } catch (const std::exception&) {
        notices_.showWarning(IDS_ERROR_NO_MEMORY_FOR_DIB, true);
        return false;
    }
}

int ScanJob::run(int dibOrder, int forMemoryTransfer, DibHandle* dib)
{
    ScannerLink& link = s_.protocol.link();
    int opened = link.open();
    if (opened != SCAN_REPLY_SUCCESS) {
        link.close();
        // The same words as when the source is enabled without a scanner.
        notices_.showWarning(opened == SCAN_REPLY_IN_USE ? IDS_ERROR_OTHER_APP_USING_SCANNER
                                                         : IDS_ERROR_CANT_OPEN_CHANNEL,
                             true);
        return SCAN_REPLY_CANT_OPEN;
    }
    *dib = nullptr;
    s_.executionState.keepAwake();
    auto finish = [&](int result) {
        link.close();
        s_.executionState.restore();
        return result;
    };
    decoded_.reset(new (std::nothrow) uint8_t[kDecodeBufferSize]);
    block_.reset(new (std::nothrow) uint8_t[kMaxScanPayload + 1]);
    if (!decoded_ || !block_ || !raw_.allocate()) {
        notices_.showWarning(IDS_ERROR_NO_MEMORY_FOR_DIB, true);
        return finish(SCAN_REPLY_NO_MEMORY);
    }
    DibHandle bitmap = nullptr;
    bool created = guarded([&] { bitmap = s_.bitmap.createScanBitmap(p_, geometry_, dibOrder); });
    if (!bitmap) {
        if (created)
            notices_.showWarning(IDS_ERROR_NO_MEMORY_FOR_DIB, true);
        else
            s_.bitmap.freeBitmap(nullptr);
        return finish(SCAN_REPLY_NO_MEMORY);
    }
    bool storeOpen = false;
    if (!guarded([&] { storeOpen = s_.bitmap.openDataStore(); })) {
        s_.bitmap.freeBitmap(bitmap);
        return finish(SCAN_REPLY_NO_MEMORY);
    }
    if (!storeOpen) {
        s_.bitmap.freeBitmap(bitmap);
        return finish(SCAN_RESULT_SETUP_FAILED);
    }

    Ending ending = Ending::cancelled;
    Unlock unlock = Unlock::withReply;
    bool progress = false;
    bool decoderUsed = false;
    bool ran = guarded([&] {
        LockOutcome lock = lockScannerWithWarmingWait(s_.protocol, s_.lampView, s_.clock, s_.cancelRequested,
                                                      p_.feederChecked != 0);
        if (lock != LockOutcome::locked) {
            unlock = lockOutcomeNeedsUnlock(lock) ? Unlock::withReply : Unlock::none;
            s_.cancelRequested = 1;
        } else if (request_.feederEnabled && !feederReady()) {
            ending = Ending::cancelled;
        } else if (!sendSettings()) {
            ending = Ending::setupFailed;
        } else {
            progress = s_.view.openProgress();
            decoderUsed = true;
            if (decoder_.start(geometry_.width, geometry_.height, geometry_.channels, 8) !=
                scancodec::DecoderStarted) {
                notices_.showWarning(IDS_ERROR_DECOMP_START, true);
                ending = Ending::setupFailed;
            } else {
                ending = readAndDecode();
            }
        }
    });
    if (!ran)
        ending = Ending::outOfMemory;
    if (decoderUsed)
        decoder_.finish();
    if (streamRunning_)
        unlock = stopStream();
    if (progress)
        s_.view.closeProgress();
    if (unlock == Unlock::withReply && s_.protocol.writeEscCommand(makeCommand(CMD_UNLOCK)) != SCANCMD_RESULT_SUCCESS)
        s_.cancelRequested = 1;
    else if (unlock == Unlock::withoutReply)
        s_.protocol.sendEscCommandNoReply(makeCommand(CMD_UNLOCK));

    if (ending == Ending::scanned && !s_.cancelRequested) {
        int filled = SCAN_REPLY_NO_MEMORY;
        guarded([&] { filled = s_.bitmap.fillBitmapRows(bitmap); });
        if (filled == SCAN_REPLY_NO_MEMORY)
            ending = Ending::outOfMemory;
        else if (filled != SCAN_REPLY_SUCCESS)
            ending = Ending::setupFailed;
    }
    bool failed = s_.cancelRequested || ending != Ending::scanned;
    // Whatever a failed or cancelled scan left in the device's pipe must
    // not be read as the next session's replies.
    if (failed)
        link.purge();
    link.close();
    s_.executionState.restore();
    if (failed) {
        s_.cancelRequested = 0;
        s_.bitmap.freeBitmap(bitmap);
        if (ending == Ending::setupFailed)
            return SCAN_RESULT_SETUP_FAILED;
        if (ending == Ending::outOfMemory)
            return SCAN_REPLY_NO_MEMORY;
        return SCAN_REPLY_STOP_REQUESTED;
    }
    // The fit owns the DIB from the call on, whatever it ends in.
    int fitted = SCAN_REPLY_NO_MEMORY;
    if (!guarded([&] { fitted = s_.bitmap.fitBitmapToRequest(bitmap, forMemoryTransfer, dib); }))
        *dib = nullptr;
    return fitted;
}

}  // namespace

bool scanGeometryFor(const ScanParameters& requested, ScanParameters* clamped, ScanImageGeometry* geometry)
{
    if (requested.resolution <= 0 || requested.resolution > kMaxResolution)
        return false;
    if (requested.pixelType < PIXEL_TYPE_BLACK_WHITE || requested.pixelType > PIXEL_TYPE_COLOUR)
        return false;
    // The image the application was told of: the frame on the bed, fitted
    // to a size of at least one pixel each way.
    DeliveredImage image = deliveredImage(requested);
    if (image.width <= 0 || image.height <= 0)
        return false;
    ScanParameters p = requested;
    p.left = image.left;
    p.top = image.top;
    p.right = image.right;
    p.bottom = image.bottom;
    DeviceResolution resolution = deviceResolution(p.resolution);
    ScanImageGeometry g;
    g.pixelType = p.pixelType;
    g.channels = p.pixelType == PIXEL_TYPE_COLOUR ? 3 : 1;
    g.hdpi = resolution.horizontal;
    g.vdpi = resolution.vertical;
    DeviceFrame frame = deviceFrame(p, resolution);
    g.width = frame.width;
    g.height = frame.height;
    // A frame thinner than one device pixel has nothing to scan.
    if (g.width <= 0 || g.height <= 0)
        return false;
    *clamped = p;
    *geometry = g;
    return true;
}

int runScanJob(ScanJobServices& services, const ScanRequest& request, int dibOrder, int forMemoryTransfer,
               DibHandle* dib)
{
    ScanRequest checked = request;
    ScanImageGeometry geometry;
    if (!scanGeometryFor(request.parameters, &checked.parameters, &geometry)) {
        bool badResolution = request.parameters.resolution <= 0 || request.parameters.resolution > kMaxResolution;
        services.protocol.notices().showWarning(
            badResolution ? IDS_ERROR_SCAN_RESOLUTION : IDS_ERROR_SELECT_LARGER_AREA, true);
        *dib = nullptr;
        return SCAN_RESULT_SETUP_FAILED;
    }
    ScanJob job(services, checked, geometry);
    return job.run(dibOrder, forMemoryTransfer, dib);
}
