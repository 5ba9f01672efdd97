// The whole portable scan pipeline (protocol, engine, decoder, bitmap
// building) on a 600 dpi letter page in colour, grey and line art, against
// the decoder alone on the same stream. The device replays a stream coded
// beforehand, so the figures leave out the making of the page. Prints
// time, the ratio and the pipeline's peak heap use (memory blocks
// included) next to the bitmap's size; the aims are 1.3x the decoder and
// the bitmap plus 8 MB.
#include "BenchSupport.h"
#include "HeapMemoryBlocks.h"
#include "ImagingBitmapSteps.h"
#include "ScanJob.h"
#include "ScanReplyResult.h"
#include "StreamDecoder.h"
#include "StreamEncoder.h"
#include "TestImages.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <new>
#include <vector>

namespace {

std::atomic<size_t> heapNow{0};
std::atomic<size_t> heapPeak{0};

void noteAllocation(size_t size)
{
    size_t now = heapNow += size;
    size_t peak = heapPeak.load();
    while (now > peak && !heapPeak.compare_exchange_weak(peak, now)) {
    }
}

}  // namespace

// Every block carries its size in front so that the heap in use is known.
void* operator new(size_t size)
{
    auto* block = static_cast<size_t*>(std::malloc(size + sizeof(max_align_t)));
    if (!block)
        throw std::bad_alloc();
    *block = size;
    noteAllocation(size);
    return reinterpret_cast<char*>(block) + sizeof(max_align_t);
}
void* operator new[](size_t size) { return operator new(size); }
void* operator new(size_t size, const std::nothrow_t&) noexcept
{
    try {
        return operator new(size);
    } catch (...) {
        return nullptr;
    }
}
void* operator new[](size_t size, const std::nothrow_t& tag) noexcept { return operator new(size, tag); }
void operator delete(void* p) noexcept
{
    if (!p)
        return;
    auto* block = reinterpret_cast<size_t*>(static_cast<char*>(p) - sizeof(max_align_t));
    heapNow -= *block;
    std::free(block);
}
void operator delete[](void* p) noexcept { operator delete(p); }
void operator delete(void* p, size_t) noexcept { operator delete(p); }
void operator delete[](void* p, size_t) noexcept { operator delete(p); }

namespace {

// The scanner's two pipes: every command is acknowledged, and after the
// start command the coded stream comes back in 1024-byte data blocks and
// a final status.
class ReplayLink : public ScannerLink {
public:
    explicit ReplayLink(const std::vector<uint8_t>& stream) : stream_(stream) {}
    int open() override { return SCAN_REPLY_SUCCESS; }
    int close() override { return 1; }
    void purge() override {}
    int write(const uint8_t* data, uint32_t) override
    {
        if (data[2] == CMD_START) {
            streaming_ = true;
            sent_ = 0;
        } else {
            uint8_t reply[8] = {0x1B, 'S', data[2], 0, 0, 0, 0, 0};
            std::memcpy(pending_, reply, 8);
            pendingBytes_ = 8;
        }
        return USB_OK;
    }
    int read(uint8_t* dst, uint32_t length) override
    {
        if (pendingBytes_ > 0) {
            std::memcpy(dst, pending_, length);
            pendingBytes_ = 0;
            return USB_OK;
        }
        if (!streaming_)
            return USB_FAILED;
        if (payload_ > 0) {  // the payload of the header just read
            std::memcpy(dst, stream_.data() + sent_, length);
            sent_ += length;
            payload_ = 0;
            return USB_OK;
        }
        std::memset(dst, 0, 8);
        size_t left = stream_.size() - sent_;
        if (left == 0) {
            dst[1] = 'S';
            dst[2] = 'S';
            streaming_ = false;
            return USB_OK;
        }
        payload_ = static_cast<uint32_t>(std::min<size_t>(1024, left));
        dst[1] = 's';
        dst[2] = 'd';
        dst[3] = static_cast<uint8_t>(payload_);
        dst[4] = static_cast<uint8_t>(payload_ >> 8);
        return USB_OK;
    }
    uint32_t lastError() const override { return 0; }

private:
    const std::vector<uint8_t>& stream_;
    bool streaming_ = false;
    size_t sent_ = 0;
    uint32_t payload_ = 0;
    uint8_t pending_[8] = {};
    uint32_t pendingBytes_ = 0;
};

class QuietNotices : public DeviceNotices {
public:
    void trace(const char*) override {}
    void showWarning(unsigned id, bool) override { std::printf("message %u\n", id); }
    void traceWarningValue(unsigned, int) override {}
    std::string systemErrorText(uint32_t) override { return {}; }
};

class NoDialogs : public ScanJobView, public LampWarmingView, public SecondsClock, public ExecutionState {
public:
    bool openProgress() override { return true; }
    void dispatchProgressMessages() override {}
    void showProgress(int) override {}
    void closeProgress() override {}
    int askOkCancel(unsigned, unsigned) override { return 2; }
    void open(unsigned) override {}
    void pumpMessages() override {}
    void close() override {}
    int64_t nowSeconds() override { return 0; }
    void keepAwake() override {}
    void restore() override {}
};

// Heap blocks that count towards the heap in use. A recycling one keeps a
// large block it released and hands it out again for the same size: memory
// whose pages the system has given already, as in a host that has run for
// a while, so that the run measures the pipeline without the system's first
// touch of fresh pages.
class CountedBlocks : public MemoryBlocks {
public:
    explicit CountedBlocks(bool recycle = false) : recycle_(recycle) {}
    ~CountedBlocks() override { heap_.release(kept_); }
    void* allocate(size_t size, bool zero) override
    {
        void* block = nullptr;
        if (kept_ && !zero && heap_.blockSize(kept_) == size)
            std::swap(block, kept_);
        else
            block = heap_.allocate(size, zero);
        if (block)
            noteAllocation(size);
        return block;
    }
    uint8_t* lock(void* block) override { return heap_.lock(block); }
    void unlock(void* block) override { heap_.unlock(block); }
    void release(void* block) override
    {
        if (!block)
            return;
        heapNow -= heap_.blockSize(block);
        if (recycle_ && heap_.blockSize(block) >= kRecycledFrom) {
            heap_.release(kept_);
            kept_ = block;
            return;
        }
        heap_.release(block);
    }
    size_t blockSize(void* block) override { return heap_.blockSize(block); }

private:
    static constexpr size_t kRecycledFrom = 1048576;
    HeapMemoryBlocks heap_;
    bool recycle_;
    void* kept_ = nullptr;
};

// The system's cost of a fresh block: its first touch.
double firstTouchSeconds(size_t size)
{
    HeapMemoryBlocks heap;
    void* block = heap.allocate(size, false);
    double begin = bench::threadSeconds();
    std::memset(heap.lock(block), 0xFF, size);
    double seconds = bench::threadSeconds() - begin;
    heap.release(block);
    return seconds;
}

class QuietBitmapPlatform : public BitmapPlatform {
public:
    bool newTemporaryFileName(std::string&) override { return false; }
    bool moduleLoaded(const char*) override { return false; }
    void showWarning(unsigned id, bool) override { std::printf("message %u\n", id); }
    void showPlainWarning(unsigned id, int, int, const char*) override { std::printf("message %u\n", id); }
};

// Bitmap building that keeps nothing: the engine's own share.
class DiscardingSteps : public BitmapBuildingSteps {
public:
    DibHandle createScanBitmap(const ScanParameters&, const ScanImageGeometry&, int) override { return this; }
    bool openDataStore() override { return true; }
    void appendDecodedRow(const uint8_t*, int) override {}
    int fillBitmapRows(DibHandle&) override { return SCAN_REPLY_SUCCESS; }
    int fitBitmapToRequest(DibHandle dib, int, DibHandle* result) override
    {
        *result = dib;
        return SCAN_REPLY_SUCCESS;
    }
    void freeBitmap(DibHandle) override {}
};

struct Mode {
    const char* name;
    int pixelType;
    int channels;  // of the stream: line art is scanned as grey
};

constexpr int kRuns = 5;
constexpr double kAimRatio = 1.3;
constexpr double kAimHeapOverBitmap = 8.0 * 1048576.0;

bool runMode(const Mode& mode)
{
    const int width = scancodec::kLetterWidth600, height = scancodec::kLetterHeight600;
    std::vector<uint8_t> stream;
    {
        std::vector<uint8_t> page = scancodec::makeTestPage(width, height, mode.channels);
        scancodec::EncoderSettings settings;
        settings.withHeader = true;
        if (scancodec::encodeStream(page.data(), width, height, mode.channels, settings, stream) !=
            scancodec::EncodeDone) {
            std::printf("encoding failed\n");
            return false;
        }
    }
    std::printf("%s: 600 dpi letter page %dx%d, stream %.1f MB, best of %d\n", mode.name, width, height,
                static_cast<double>(stream.size()) / 1e6, kRuns);

    double decoderBest = 1e30, pipelineBest = 1e30, reusedBest = 1e30, engineBest = 1e30, touchBest = 1e30;
    size_t pipelinePeak = 0, bitmapBytes = 0;
    CountedBlocks reused(true);
    ScanRequest request;
    request.parameters.resolution = 600;
    request.parameters.pixelType = mode.pixelType;
    request.parameters.threshold = 128;
    request.parameters.left = 0;
    request.parameters.top = 0;
    request.parameters.right = width * 8;
    request.parameters.bottom = height * 8;
    QuietNotices notices;
    NoDialogs dialogs;
    volatile int cancel = 0;
    // One whole scan into the memory given; its CPU time, or a negative one.
    auto scan = [&](CountedBlocks& memory, size_t* peak) {
        ReplayLink link(stream);
        ScannerProtocol protocol(link, notices);
        InProcessImagingLibrary imaging(memory);
        QuietBitmapPlatform bitmapPlatform;
        ImagingBitmapSteps bitmap(memory, imaging, bitmapPlatform);
        ScanJobServices services{protocol, dialogs, dialogs, dialogs, bitmap, dialogs, cancel};
        DibHandle dib = nullptr;
        size_t baseline = heapNow.load();
        heapPeak = baseline;
        double begin = bench::threadSeconds();
        int result = runScanJob(services, request, 1, 0, &dib);
        double seconds = bench::threadSeconds() - begin;
        if (result != SCAN_REPLY_SUCCESS) {
            std::printf("pipeline result %d\n", result);
            return -1.0;
        }
        *peak = std::max(*peak, heapPeak.load() - baseline);
        bitmapBytes = memory.blockSize(dib);
        memory.release(dib);
        return seconds;
    };
    for (int run = 0; run < kRuns; ++run) {
        double d = bench::decoderSeconds(stream, width, height, mode.channels);
        if (d < 0) {
            std::printf("decoding failed\n");
            return false;
        }
        decoderBest = std::min(decoderBest, d);

        CountedBlocks fresh;
        double seconds = scan(fresh, &pipelinePeak);
        size_t ignoredPeak = 0;
        double reusedSeconds = scan(reused, &ignoredPeak);
        if (seconds < 0 || reusedSeconds < 0)
            return false;
        pipelineBest = std::min(pipelineBest, seconds);
        reusedBest = std::min(reusedBest, reusedSeconds);
        touchBest = std::min(touchBest, firstTouchSeconds(bitmapBytes));
        {
            DiscardingSteps discard;
            ReplayLink replay(stream);
            ScannerProtocol engineProtocol(replay, notices);
            ScanJobServices engineOnly{engineProtocol, dialogs, dialogs, dialogs, discard, dialogs, cancel};
            DibHandle ignored = nullptr;
            double engineBegin = bench::threadSeconds();
            runScanJob(engineOnly, request, 1, 0, &ignored);
            engineBest = std::min(engineBest, bench::threadSeconds() - engineBegin);
        }
    }
    const double outputBytes = static_cast<double>(width) * height * mode.channels;
    const double ratio = pipelineBest / decoderBest;
    const double allowance = static_cast<double>(bitmapBytes) + kAimHeapOverBitmap;
    std::printf("decoder alone          %7.1f ms CPU, %.1f MB/s output\n", decoderBest * 1e3,
                outputBytes / decoderBest / 1e6);
    std::printf("engine, rows discarded %7.1f ms CPU, %.2fx the decoder\n", engineBest * 1e3, engineBest / decoderBest);
    std::printf("whole pipeline         %7.1f ms CPU, %.2fx the decoder (aim %.1fx): %s\n", pipelineBest * 1e3, ratio,
                kAimRatio, ratio <= kAimRatio ? "within" : "OVER");
    std::printf("  in memory touched before %5.1f ms CPU, %.2fx the decoder; a fresh block of the bitmap's size "
                "costs %.1f ms CPU to touch\n",
                reusedBest * 1e3, reusedBest / decoderBest, touchBest * 1e3);
    std::printf("pipeline peak heap     %7.1f MB; bitmap %.1f MB + 8 MB = %.1f MB: %s\n",
                static_cast<double>(pipelinePeak) / 1e6, static_cast<double>(bitmapBytes) / 1e6, allowance / 1e6,
                static_cast<double>(pipelinePeak) <= allowance ? "within" : "OVER");
    return true;
}

}  // namespace

int main()
{
    const Mode modes[] = {
        {"colour", PIXEL_TYPE_COLOUR, 3},
        {"grey", PIXEL_TYPE_GREY, 1},
        {"line art", PIXEL_TYPE_BLACK_WHITE, 1},
    };
    for (const Mode& mode : modes)
        if (!runMode(mode))
            return 1;
    bench::printLoad();
    return 0;
}
