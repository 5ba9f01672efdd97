// Whole scans through the engine, the real transport and protocol and the
// emulated scanner in-process; dialogs, clock and bitmap are recording fakes.
#include "DeviceFakes.h"
#include "StringIds.h"
#include "EmulatedDeviceFiles.h"
#include "BitmapFakes.h"
#include "FeederPrompt.h"
#include "ImagingBitmapSteps.h"
#include "ScanJob.h"
#include "ScanReplyResult.h"
#include "StreamEncoder.h"
#include "UsbTransportCore.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <filesystem>
#include <memory>
#include <random>

namespace {

constexpr int kIdOk = 1;
constexpr int kIdCancel = 2;

struct FakeDib {
    ScanImageGeometry geometry;
    std::vector<uint8_t> rows;  // filled from the store
    int dibOrder = -1;          // as created
};

class FakeBitmapBuilder : public BitmapBuildingSteps {
public:
    DibHandle createScanBitmap(const ScanParameters& p, const ScanImageGeometry& g, int dibOrder) override
    {
        parameters = p;
        throwIf(Stage::create);
        if (!canCreate)
            return nullptr;
        dib = std::make_unique<FakeDib>();
        dib->geometry = g;
        dib->dibOrder = dibOrder;
        return dib.get();
    }
    bool openDataStore() override
    {
        throwIf(Stage::openStore);
        storeOpen = canOpenStore;
        return canOpenStore;
    }
    void appendDecodedRow(const uint8_t* row, int count) override
    {
        EXPECT_TRUE(storeOpen);
        if (count > 0 && ++rowCount == 3)
            throwIf(Stage::rows);
        store.insert(store.end(), row, row + count);
    }
    int fillBitmapRows(DibHandle& handle) override
    {
        throwIf(Stage::fill);
        auto* d = static_cast<FakeDib*>(handle);
        d->rows = store;
        storeOpen = false;
        return canReadBack ? 100 : SCAN_RESULT_SETUP_FAILED;
    }
    int fitBitmapToRequest(DibHandle handle, int forMemoryTransfer, DibHandle* result) override
    {
        fittedForMemory = forMemoryTransfer;
        if (throwIn == Stage::fit)
            dib.reset();  // the DIB is the fit's from the call on
        throwIf(Stage::fit);
        *result = handle;
        return 100;
    }
    void freeBitmap(DibHandle handle) override
    {
        EXPECT_EQ(handle, dib.get());
        dib.reset();
        storeOpen = false;
    }

    // Where an allocation throws, as std::vector's and new's do.
    enum class Stage { none, create, openStore, rows, fill, fit };
    void throwIf(Stage stage) const
    {
        if (stage == throwIn)
            throw std::bad_alloc();
    }

    Stage throwIn = Stage::none;
    bool canCreate = true;
    bool canOpenStore = true;
    bool canReadBack = true;
    bool storeOpen = false;
    int fittedForMemory = -1;
    int rowCount = 0;
    ScanParameters parameters;
    std::vector<uint8_t> store;
    std::unique_ptr<FakeDib> dib;
};

// The progress dialog and the prompts; its Cancel button acts from the
// message dispatch, as the real one does.
class FakeView : public ScanJobView {
public:
    bool openProgress() override
    {
        ++opened;
        return true;
    }
    void dispatchProgressMessages() override
    {
        bool timeToCancel = cancelAtSecond >= 0 && *now >= cancelAtSecond && !*cancel;
        if (++dispatches == cancelAtDispatch || timeToCancel) {
            *cancel = 1;
            cancelledAt = *now;
            protocol->sendEscCommandNoReply(makeCommand(CMD_ABORT));
        }
    }
    void showProgress(int percent) override { percents.push_back(percent); }
    void closeProgress() override { ++closed; }
    int askOkCancel(unsigned textId, unsigned captionId) override
    {
        prompts.push_back({textId, captionId});
        return answer;
    }
    void streamFailed(int reply) override { failedReplies.push_back(reply); }

    volatile int* cancel = nullptr;
    ScannerProtocol* protocol = nullptr;
    const double* now = nullptr;
    int cancelAtDispatch = -1;
    double cancelAtSecond = -1;
    double cancelledAt = -1;
    int dispatches = 0;
    int opened = 0;
    int closed = 0;
    int answer = kIdCancel;
    std::vector<int> percents;
    std::vector<std::pair<unsigned, unsigned>> prompts;
    std::vector<int> failedReplies;
};

// Each pump of the lamp dialog lets half a second pass on the device.
class FakeLampView : public LampWarmingView, public SecondsClock {
public:
    explicit FakeLampView(double& now) : now_(now) {}
    void open(unsigned id) override { openedWith.push_back(id); }
    void pumpMessages() override { now_ += 0.5; }
    void close() override { ++closed; }
    int64_t nowSeconds() override { return static_cast<int64_t>(now_); }

    std::vector<unsigned> openedWith;
    int closed = 0;

private:
    double& now_;
};

// The transport's pauses let time pass on the test's clock.
class ClockedMutexes : public FakeMutexes {
public:
    explicit ClockedMutexes(double& now) : now_(now) {}
    void sleep(uint32_t milliseconds) override
    {
        FakeMutexes::sleep(milliseconds);
        now_ += milliseconds / 1000.0;
    }

private:
    double& now_;
};

class RecordingExecutionState : public ExecutionState {
public:
    void keepAwake() override { log += "A"; }
    void restore() override { log += "R"; }
    std::string log;
};

// Makes the write of one command letter fail, as a pipe that broke there.
class FailingLink : public ScannerLink {
public:
    explicit FailingLink(ScannerLink& inner) : inner_(inner) {}
    int open() override { return inner_.open(); }
    int close() override { return inner_.close(); }
    void purge() override { inner_.purge(); }
    int write(const uint8_t* data, uint32_t length) override
    {
        if (length == 8 && data[2] == failLetter)
            return USB_FAILED;
        return inner_.write(data, length);
    }
    int read(uint8_t* dst, uint32_t length) override { return inner_.read(dst, length); }
    uint32_t lastError() const override { return inner_.lastError(); }

    uint8_t failLetter = 0;

private:
    ScannerLink& inner_;
};

// A page 8.5 inches wide: grey (3x + 5y) mod 256, or in colour
// red x, green y, blue x + y.
PageImage makePage(int width, int height, bool colour, bool noise = false)
{
    std::string header = std::string(colour ? "P6\n" : "P5\n") + std::to_string(width) + " " +
                         std::to_string(height) + "\n255\n";
    std::vector<uint8_t> bytes(header.begin(), header.end());
    std::mt19937 random(7);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            if (noise) {
                for (int c = 0; c < (colour ? 3 : 1); ++c)
                    bytes.push_back(static_cast<uint8_t>(random()));
            } else if (colour) {
                bytes.insert(bytes.end(), {static_cast<uint8_t>(x), static_cast<uint8_t>(y),
                                           static_cast<uint8_t>(x + y)});
            } else {
                bytes.push_back(static_cast<uint8_t>(3 * x + 5 * y));
            }
        }
    PageImage page;
    std::string error;
    EXPECT_TRUE(page.parse(bytes, error)) << error;
    return page;
}

struct ScanJobTest : ::testing::Test {
    double now = 0;
    EmulatorConfig config;
    PageImage page;
    std::unique_ptr<EmulatedDeviceFiles> files;
    ClockedMutexes mutexes{now};
    std::unique_ptr<UsbTransportCore> transport;
    std::unique_ptr<FailingLink> link;
    RecordingNotices notices;
    std::unique_ptr<ScannerProtocol> protocol;
    FakeView view;
    FakeLampView lamp{now};
    FakeBitmapBuilder bitmap;
    RecordingExecutionState executionState;
    volatile int cancel = 0;
    ScanRequest request;
    DibHandle dib = reinterpret_cast<DibHandle>(1);
    scancodec::StreamDecoder decoder;
    scancodec::StreamDecoder* ownDecoder = nullptr;  // null: the source's one

    ScanJobTest()
    {
        page = makePage(1275, 600, false);  // 150 dpi
        // Half an inch by a quarter, an inch from the left and two down.
        request.parameters.left = 4800;
        request.parameters.top = 9600;
        request.parameters.right = 4800 + 2400;
        request.parameters.bottom = 9600 + 1200;
    }

    void plugIn()
    {
        config.pagePath = "page";
        files = std::make_unique<EmulatedDeviceFiles>(std::make_unique<ScannerEmulator>(
            config, page, [this] { return now; }, [this](double seconds) { now += seconds; }));
        transport = std::make_unique<UsbTransportCore>(*files, mutexes);
        link = std::make_unique<FailingLink>(*transport);
        protocol = std::make_unique<ScannerProtocol>(*link, notices);
        view.cancel = &cancel;
        view.protocol = protocol.get();
        view.now = &now;
    }

    int scan(int dibOrder = 1, int forMemoryTransfer = 0, BitmapBuildingSteps* steps = nullptr)
    {
        if (!files)
            plugIn();
        ScanJobServices services{*protocol, lamp, lamp, view, steps ? *steps : bitmap, executionState, cancel, ownDecoder};
        return runScanJob(services, request, dibOrder, forMemoryTransfer, &dib);
    }

    std::string commands() const
    {
        const std::vector<uint8_t>& log = files->emulator().commandLog();
        return std::string(log.begin(), log.end());
    }

    // The frame as the emulator cuts it from the page: nearest page pixel
    // of each device pixel.
    std::vector<uint8_t> expectedImage(const ScanImageGeometry& g) const
    {
        const ScanParameters& p = request.parameters;
        int x0 = p.left * g.hdpi / 4800, y0 = p.top * g.hdpi / 4800;
        std::vector<uint8_t> image;
        for (int y = 0; y < g.height; ++y) {
            int pageY = static_cast<int>((int64_t(y0) * 4800 / g.hdpi + int64_t(y) * 4800 / g.vdpi) * page.width() /
                                         40800);
            for (int x = 0; x < g.width; ++x) {
                int pageX = static_cast<int>(int64_t(x0 + x) * 4800 / g.hdpi * page.width() / 40800);
                if (g.channels == 3) {
                    uint8_t rgb[3];
                    page.rgb(pageX, pageY, rgb);
                    image.insert(image.end(), rgb, rgb + 3);
                } else {
                    image.push_back(page.grey(pageX, pageY));
                }
            }
        }
        return image;
    }

    void expectThePage()
    {
        ASSERT_NE(bitmap.dib, nullptr);
        const FakeDib& d = *bitmap.dib;
        EXPECT_EQ(d.rows.size(), size_t(d.geometry.width) * d.geometry.height * d.geometry.channels);
        EXPECT_TRUE(d.rows == expectedImage(d.geometry)) << "the scanned rows differ from the page";
    }

    // Every scan ends with the scanner unlocked and closed and the system
    // allowed to sleep again.
    void expectReleased(bool unlocked = true)
    {
        EXPECT_EQ(transport->useCount(), 0);
        EXPECT_FALSE(transport->holdsMutex());
        EXPECT_EQ(executionState.log, "AR");
        if (unlocked) {
            EXPECT_FALSE(files->emulator().locked());
        }
        EXPECT_EQ(cancel, 0);
    }
};

TEST_F(ScanJobTest, EveryPixelTypeAndResolutionGivesThePage)
{
    for (int pixelType : {PIXEL_TYPE_BLACK_WHITE, PIXEL_TYPE_GREY, PIXEL_TYPE_COLOUR}) {
        for (int dpi : {150, 300, 600}) {
            SCOPED_TRACE(testing::Message() << "pixel type " << pixelType << " at " << dpi);
            files.reset();
            bitmap = FakeBitmapBuilder{};
            view = FakeView{};
            executionState.log.clear();
            page = makePage(1275, 600, pixelType == PIXEL_TYPE_COLOUR);
            request.parameters.pixelType = pixelType;
            request.parameters.resolution = dpi;
            ownDecoder = dpi == 600 ? &decoder : nullptr;
            int dibOrder = dpi == 300 ? 0 : 1;
            ASSERT_EQ(scan(dibOrder), SCAN_REPLY_SUCCESS);
            EXPECT_EQ(dib, bitmap.dib.get());
            expectThePage();
            EXPECT_EQ(bitmap.dib->dibOrder, dibOrder);
            EXPECT_EQ(bitmap.dib->geometry.width, dpi / 2);
            EXPECT_EQ(bitmap.rowCount, dpi / 4);
            EXPECT_EQ(commands(), "LCDOZSMGU");
            EXPECT_EQ(view.opened, 1);
            EXPECT_EQ(view.closed, 1);
            ASSERT_FALSE(view.percents.empty());
            EXPECT_TRUE(std::is_sorted(view.percents.begin(), view.percents.end()));
            EXPECT_LE(view.percents.back(), 100);
            expectReleased();
        }
    }
}

TEST_F(ScanJobTest, ResolutionsTheDeviceLacksAreScannedAtTheNextStepAndLeftToTheFit)
{
    struct Case {
        int requested, hdpi, vdpi;
    } cases[] = {{50, 75, 75}, {2400, 1200, 2400}, {1201, 1200, 2400}, {301, 600, 600}};
    for (const Case& c : cases) {
        ScanParameters p = request.parameters;
        p.resolution = c.requested;
        ScanParameters clamped;
        ScanImageGeometry g;
        ASSERT_TRUE(scanGeometryFor(p, &clamped, &g)) << c.requested;
        EXPECT_EQ(g.hdpi, c.hdpi) << c.requested;
        EXPECT_EQ(g.vdpi, c.vdpi) << c.requested;
        EXPECT_EQ(g.height, 1200 * c.vdpi / 4800) << c.requested;
    }
    request.parameters.resolution = 50;
    ASSERT_EQ(scan(1, 1), SCAN_REPLY_SUCCESS);
    expectThePage();
    EXPECT_EQ(bitmap.parameters.resolution, 50);
    EXPECT_EQ(bitmap.fittedForMemory, 1);
}

TEST_F(ScanJobTest, RequestsTheDeviceCannotScanAreRefusedBeforeAnythingIsSent)
{
    struct Case {
        const char* what;
        int resolution, left, top, right, bottom;
        unsigned message;
    } cases[] = {
        {"no resolution", 0, 0, 0, 4800, 4800, IDS_ERROR_SCAN_RESOLUTION},
        {"above 2400", 2401, 0, 0, 4800, 4800, IDS_ERROR_SCAN_RESOLUTION},
        {"empty frame", 300, 4800, 0, 4800, 4800, IDS_ERROR_SELECT_LARGER_AREA},
        {"inverted frame", 300, 0, 4800, 4800, 0, IDS_ERROR_SELECT_LARGER_AREA},
        {"beyond the bed", 300, 40800, 0, 45000, 4800, IDS_ERROR_SELECT_LARGER_AREA},
        {"under one pixel", 75, 0, 0, 60, 4800, IDS_ERROR_SELECT_LARGER_AREA},
    };
    plugIn();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        notices.shown.clear();
        request.parameters.resolution = c.resolution;
        request.parameters.left = c.left;
        request.parameters.top = c.top;
        request.parameters.right = c.right;
        request.parameters.bottom = c.bottom;
        EXPECT_EQ(scan(), SCAN_RESULT_SETUP_FAILED);
        EXPECT_EQ(dib, nullptr);
        EXPECT_EQ(notices.shown, std::vector<unsigned>{c.message});
        EXPECT_EQ(commands(), "");
        EXPECT_EQ(transport->useCount(), 0);
    }

    ScanParameters p = request.parameters;
    p.resolution = 300;
    p.left = -100;
    p.top = 0;
    p.right = 50000;
    p.bottom = 100000;
    ScanParameters clamped;
    ScanImageGeometry g;
    ASSERT_TRUE(scanGeometryFor(p, &clamped, &g));
    EXPECT_EQ(clamped.left, 0);
    EXPECT_EQ(clamped.right, 40800);
    EXPECT_EQ(clamped.bottom, 67200);
    EXPECT_EQ(g.width, 2550);
}

TEST_F(ScanJobTest, FeederScansFromTheFeederAndAnEmptyOneAsksForPaper)
{
    request.feederEnabled = true;
    ASSERT_EQ(scan(), SCAN_REPLY_SUCCESS);
    EXPECT_EQ(commands(), "LFCDOZFSMGU");
    EXPECT_TRUE(view.prompts.empty());
    expectThePage();

    files.reset();
    config.feederDetail = FEEDER_EMPTY;
    EXPECT_EQ(scan(), SCAN_REPLY_STOP_REQUESTED);
    EXPECT_EQ(dib, nullptr);
    ASSERT_EQ(view.prompts.size(), 1u);
    EXPECT_EQ(view.prompts[0], std::make_pair(1083u, 1078u));
    EXPECT_EQ(commands(), "LFU");
    executionState.log = "AR";
    expectReleased();
}

TEST_F(ScanJobTest, CancelDuringTheReadWaitsForTheDeviceToStop)
{
    request.parameters.pixelType = PIXEL_TYPE_COLOUR;
    request.parameters.resolution = 600;
    config.blockSize = 512;
    view.cancelAtDispatch = 3;
    EXPECT_EQ(scan(), SCAN_REPLY_STOP_REQUESTED);
    EXPECT_EQ(dib, nullptr);
    EXPECT_EQ(bitmap.dib, nullptr);
    EXPECT_TRUE(notices.shown.empty());
    // The engine kept reading until the stop status came, then unlocked.
    EXPECT_FALSE(files->emulator().scanning());
    EXPECT_EQ(commands(), "LCDOZSMGAU");
    EXPECT_EQ(view.closed, 1);
    expectReleased();
}

TEST_F(ScanJobTest, AWarmingLampIsWaitedFor)
{
    config.warmingSeconds = 3;
    ASSERT_EQ(scan(), SCAN_REPLY_SUCCESS);
    EXPECT_EQ(lamp.openedWith, std::vector<unsigned>{IDS_ERROR_SCANNER_WARMING});
    EXPECT_EQ(lamp.closed, 1);
    EXPECT_GE(now, 3.0);
    expectThePage();
    expectReleased();
}

// A device may fill its last block up (a whole packet, a whole block): fill
// bytes after the last row are no row the image lacks.
TEST_F(ScanJobTest, FillAfterTheLastRowIsNotAFault)
{
    config.paddingBytes = 1000;
    config.paddingByte = 0xFF;
    ASSERT_EQ(scan(), SCAN_REPLY_SUCCESS);
    expectThePage();
    expectReleased();
}

TEST_F(ScanJobTest, DeviceFaultsEndTheScanWithTheirMessage)
{
    struct Case {
        const char* what;
        void (*configure)(EmulatorConfig&);
        unsigned message;
        const char* commands;  // what reached the device
        bool unlocked;
        std::vector<int> streamReplies;  // the reply that ended the stream
    } cases[] = {
        {"jam at lock", [](EmulatorConfig& c) { c.jamAtLock = true; }, IDS_ERROR_ADF_JAM, "LU", true, {}},
        {"jam in a block", [](EmulatorConfig& c) { c.jamAtBlock = 2; }, IDS_ERROR_ADF_JAM, "LCDOZSMGU", true,
         {SCAN_REPLY_FEEDER_JAM}},
        // Out of step with the stream: stopped, purged, then unlocked.
        {"garbage header", [](EmulatorConfig& c) { c.garbageHeaderAtBlock = 1; }, IDS_ERROR_DISCONNECTION,
         "LCDOZSMGAU", true, {SCAN_REPLY_BAD_HEADER}},
        {"over-long payload", [](EmulatorConfig& c) { c.overlongPayloadAtBlock = 1; }, IDS_ERROR_DISCONNECTION,
         "LCDOZSMGAU", true, {SCAN_REPLY_BAD_HEADER}},
        {"disconnect", [](EmulatorConfig& c) { c.disconnectAtByte = 3000; }, IDS_ERROR_DISCONNECTION, "LCDOZSMG",
         false, {SCAN_REPLY_BAD_HEADER}},
        // Silent: stopped and unlocked without waiting for replies.
        {"time-out", [](EmulatorConfig& c) { c.timeoutAtByte = 3000; }, IDS_ERROR_TIMEOUT_MONO, "LCDOZSMGAU", true,
         {SCAN_REPLY_TIMEOUT}},
        {"empty transfers for ever", [](EmulatorConfig& c) { c.emptyReads = 1 << 30, c.emptyReadsAtByte = 3000; },
         IDS_ERROR_TIMEOUT_MONO, "LCDOZSMGAU", true, {SCAN_REPLY_TIMEOUT}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        files.reset();
        config = EmulatorConfig{};
        c.configure(config);
        notices.shown.clear();
        executionState.log.clear();
        view.failedReplies.clear();
        EXPECT_EQ(scan(), SCAN_REPLY_STOP_REQUESTED);
        EXPECT_EQ(dib, nullptr);
        EXPECT_EQ(bitmap.dib, nullptr);
        EXPECT_EQ(notices.shown, std::vector<unsigned>{c.message});
        EXPECT_EQ(view.failedReplies, c.streamReplies);
        EXPECT_EQ(commands(), c.commands);
        expectReleased(c.unlocked);
    }
}

TEST_F(ScanJobTest, AScanThatCannotBeSetUpIsAFailureNotABlankPage)
{
    struct Case {
        uint8_t letter;
        unsigned message;
        const char* commands;
    } cases[] = {
        {'C', IDS_ERROR_SCAN_SETTING, "LU"},           {'D', IDS_ERROR_SCAN_RESOLUTION, "LCU"},
        {'O', IDS_ERROR_SCAN_OFFSET, "LCDU"},          {'Z', IDS_ERROR_SCAN_SIZE, "LCDOU"},
        {'S', IDS_ERROR_SCAN_SOURCE, "LCDOZU"},        {'M', IDS_ERROR_SCAN_CLIPPING, "LCDOZSU"},
        {'G', IDS_ERROR_SCAN_START, "LCDOZSMU"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(1, char(c.letter)));
        files.reset();
        plugIn();
        link->failLetter = c.letter;
        notices.shown.clear();
        executionState.log.clear();
        EXPECT_EQ(scan(), SCAN_RESULT_SETUP_FAILED);
        EXPECT_EQ(dib, nullptr);
        EXPECT_EQ(bitmap.dib, nullptr);
        EXPECT_EQ(notices.shown, std::vector<unsigned>{c.message});
        EXPECT_EQ(commands(), c.commands);
        expectReleased();
    }

    // A refused filter is only traced; the scan goes on.
    files.reset();
    plugIn();
    link->failLetter = 'I';
    request.parameters.descreen = 1;
    notices.traced.clear();
    EXPECT_EQ(scan(), SCAN_REPLY_SUCCESS);
    EXPECT_NE(std::find(notices.traced.begin(), notices.traced.end(), IDS_ERROR_SET_FILTER), notices.traced.end());
    expectThePage();
}

TEST_F(ScanJobTest, BitmapAndStoreFailures)
{
    plugIn();
    bitmap.canCreate = false;
    EXPECT_EQ(scan(), SCAN_REPLY_NO_MEMORY);
    EXPECT_EQ(dib, nullptr);
    EXPECT_EQ(notices.shown, std::vector<unsigned>{IDS_ERROR_NO_MEMORY_FOR_DIB});
    EXPECT_EQ(commands(), "");

    bitmap.canCreate = true;
    bitmap.canOpenStore = false;
    EXPECT_EQ(scan(), SCAN_RESULT_SETUP_FAILED);
    EXPECT_EQ(bitmap.dib, nullptr);
    EXPECT_EQ(commands(), "");

    bitmap.canOpenStore = true;
    bitmap.canReadBack = false;
    EXPECT_EQ(scan(), SCAN_RESULT_SETUP_FAILED);
    EXPECT_EQ(dib, nullptr);
    EXPECT_EQ(bitmap.dib, nullptr);
    EXPECT_EQ(transport->useCount(), 0);
    EXPECT_FALSE(files->emulator().locked());
}

TEST_F(ScanJobTest, AnAllocationThatThrowsEndsTheScanAsWantOfMemoryDoes)
{
    using Stage = FakeBitmapBuilder::Stage;
    request.parameters.pixelType = PIXEL_TYPE_COLOUR;
    request.parameters.resolution = 600;
    config.blockSize = 512;
    const std::pair<Stage, std::string> cases[] = {{Stage::create, ""},
                                                   {Stage::openStore, ""},
                                                   {Stage::rows, "LCDOZSMGAU"},
                                                   {Stage::fill, "LCDOZSMGU"},
                                                   {Stage::fit, "LCDOZSMGU"}};
    for (const auto& [stage, sent] : cases) {
        SCOPED_TRACE(testing::Message() << "throws at stage " << static_cast<int>(stage));
        files.reset();
        bitmap = FakeBitmapBuilder{};
        bitmap.throwIn = stage;
        view = FakeView{};
        notices.shown.clear();
        executionState.log.clear();
        dib = reinterpret_cast<DibHandle>(1);
        EXPECT_EQ(scan(), SCAN_REPLY_NO_MEMORY);
        EXPECT_EQ(dib, nullptr);
        EXPECT_EQ(bitmap.dib, nullptr);
        EXPECT_EQ(notices.shown, std::vector<unsigned>{IDS_ERROR_NO_MEMORY_FOR_DIB});
        EXPECT_EQ(commands(), sent);
        EXPECT_EQ(view.closed, view.opened);
        expectReleased();
    }
}

TEST_F(ScanJobTest, BlockSizesThatDoNotDivideTheBufferAndLineOffsets)
{
    page = makePage(1275, 600, true);
    request.parameters.pixelType = PIXEL_TYPE_COLOUR;
    request.parameters.resolution = 600;
    for (int blockSize : {1000, 333, 1023}) {
        SCOPED_TRACE(blockSize);
        files.reset();
        bitmap = FakeBitmapBuilder{};
        config.blockSize = blockSize;
        const uint8_t offsets[6] = {4, 5, 2, 2, 0, 1};
        std::copy(offsets, offsets + 6, config.lineOffsets);
        ASSERT_EQ(scan(), SCAN_REPLY_SUCCESS);
        expectThePage();
    }
}

TEST_F(ScanJobTest, NoiseRowsLongerThanTheRawBufferAt1200Dpi)
{
    // 1200 dpi across the whole bed: rows of random colour code to more
    // than 32 KB each.
    page = makePage(10200, 8, true, true);
    request.parameters.pixelType = PIXEL_TYPE_COLOUR;
    request.parameters.resolution = 1200;
    request.parameters.left = 0;
    request.parameters.top = 0;
    request.parameters.right = 40800;
    request.parameters.bottom = 8 * 4;
    config.blockSize = 1000;
    ASSERT_EQ(scan(), SCAN_REPLY_SUCCESS);
    expectThePage();
    EXPECT_EQ(bitmap.rowCount, 8);
}


// Heap blocks whose next few allocations of a size fail: a bitmap that
// cannot be had when the scan starts, and can once its rows are in.
class ShortMemory : public HeapMemoryBlocks {
public:
    void* allocate(size_t size, bool zero) override
    {
        if (size >= failFrom && failures > 0) {
            --failures;
            return nullptr;
        }
        return HeapMemoryBlocks::allocate(size, zero);
    }
    size_t failFrom = 0;
    int failures = 0;
};

// The image decoded into its place in the DIB is the one that the store of
// rows (in memory, or a temporary file) gives when the DIB cannot be had
// at the start.
TEST_F(ScanJobTest, DibsDecodedInPlaceEqualThoseBuiltFromAStore)
{
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "scan-job-store";
    std::filesystem::create_directories(folder);
    request.parameters.threshold = 100;
    for (int pixelType : {PIXEL_TYPE_BLACK_WHITE, PIXEL_TYPE_GREY, PIXEL_TYPE_COLOUR})
        for (int variant = 0; variant < (pixelType == PIXEL_TYPE_BLACK_WHITE ? 4 : 2); ++variant) {
            const int dibOrder = variant & 1;
            request.parameters.invert = variant >> 1;  // line art only
            page = makePage(1275, 600, pixelType == PIXEL_TYPE_COLOUR);
            request.parameters.pixelType = pixelType;
            const uint8_t offsets[6] = {4, 5, 2, 2, 0, 1};
            std::copy(offsets, offsets + 6, config.lineOffsets);
            std::vector<uint8_t> dibs[3];
            for (int way = 0; way < 3; ++way) {
                SCOPED_TRACE(testing::Message() << "pixel type " << pixelType << ", dibOrder " << dibOrder << ", way "
                                                << way);
                files.reset();
                ShortMemory memory;
                InProcessImagingLibrary imaging(memory);
                FakeBitmapPlatform platform;
                platform.temporaryFolder = folder.string();
                ImagingBitmapSteps steps(memory, imaging, platform);
                // 150 x 75 pixels: the rows stored unpadded are the smaller block.
                const size_t rowBytes = pixelType == PIXEL_TYPE_BLACK_WHITE ? 19 : 150 * (pixelType == 2 ? 3 : 1);
                memory.failFrom = rowBytes * 75;
                memory.failures = way;  // the bitmap; then the store in memory too
                ASSERT_EQ(scan(dibOrder, 0, &steps), SCAN_REPLY_SUCCESS);
                {
                    LockedBlock locked(memory, dib);
                    dibs[way].assign(locked.bytes(), locked.bytes() + locked.size());
                }
                memory.release(dib);
                EXPECT_EQ(memory.liveBlocks(), 0);
                EXPECT_EQ(platform.namedFiles.size(), way == 2 ? 1u : 0u);
                EXPECT_TRUE(platform.warnings.empty());
            }
            EXPECT_EQ(dibs[1], dibs[0]) << pixelType << " " << dibOrder;
            EXPECT_EQ(dibs[2], dibs[0]) << pixelType << " " << dibOrder;
            if (pixelType == PIXEL_TYPE_COLOUR) {
                // The first row is the last in memory; its first pixel is
                // page pixel (150, 300): red 150, green 44, blue 194.
                const uint8_t* top = &dibs[0][dibs[0].size() - 452];
                EXPECT_EQ(top[0], dibOrder ? 194 : 150);
                EXPECT_EQ(top[2], dibOrder ? 150 : 194);
            }
        }
    EXPECT_TRUE(std::filesystem::is_empty(folder));
    std::filesystem::remove_all(folder);
}

TEST_F(ScanJobTest, ACancelledScanLeavesNoBitmapBehind)
{
    request.parameters.pixelType = PIXEL_TYPE_COLOUR;
    request.parameters.resolution = 600;
    config.blockSize = 512;
    view.cancelAtDispatch = 3;
    HeapMemoryBlocks memory;
    InProcessImagingLibrary imaging(memory);
    FakeBitmapPlatform platform;
    ImagingBitmapSteps steps(memory, imaging, platform);
    EXPECT_EQ(scan(1, 0, &steps), SCAN_REPLY_STOP_REQUESTED);
    EXPECT_EQ(dib, nullptr);
    EXPECT_EQ(memory.liveBlocks(), 0);
    expectReleased();
}

// Faults that happen once are in scanjob's tests: two scans on one emulator.
TEST_F(ScanJobTest, QuirksOfTheLinkStillGiveThePage)
{
    struct Case {
        const char* what;
        void (*configure)(EmulatorConfig&);
    } cases[] = {
        {"stale bytes in the pipe", [](EmulatorConfig& c) { c.leftoverBytes = 5; }},
        {"five seconds of silence inside a block", [](EmulatorConfig& c) { c.stallSeconds = 5, c.stallAtByte = 3000; }},
        {"five seconds of silence inside a header", [](EmulatorConfig& c) { c.stallSeconds = 5, c.stallAtByte = 2124; }},
        {"200 empty transfers", [](EmulatorConfig& c) { c.emptyReads = 200, c.emptyReadsAtByte = 3000; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        files.reset();
        config = EmulatorConfig{};
        c.configure(config);
        now = 0;
        bitmap = FakeBitmapBuilder{};
        ASSERT_EQ(scan(), SCAN_REPLY_SUCCESS);
        expectThePage();
        EXPECT_TRUE(notices.shown.empty());
        EXPECT_GE(now, config.stallSeconds);
    }
}

TEST_F(ScanJobTest, CancelEndsAStalledScanAtOnce)
{
    request.parameters.resolution = 600;
    config.stallSeconds = 30;
    config.stallAtByte = 3000;
    view.cancelAtSecond = 2;
    EXPECT_EQ(scan(), SCAN_REPLY_STOP_REQUESTED);
    EXPECT_LE(now - view.cancelledAt, 1.0);
    EXPECT_TRUE(notices.shown.empty());
    EXPECT_EQ(commands(), "LCDOZSMGAU");
    expectReleased();

    // Once the stall is over the device's late replies are purged: the
    // next scan reads its own.
    now = 40;
    bitmap = FakeBitmapBuilder{};
    view.cancelAtSecond = -1;
    ASSERT_EQ(scan(), SCAN_REPLY_SUCCESS);
    expectThePage();
}

TEST_F(ScanJobTest, AMissingScannerIsToldAsWhenTheSourceIsEnabled)
{
    config.deviceIndex = 200;  // never found
    EXPECT_EQ(scan(), SCAN_REPLY_CANT_OPEN);
    EXPECT_EQ(notices.shown, std::vector<unsigned>{IDS_ERROR_CANT_OPEN_CHANNEL});
    EXPECT_EQ(transport->useCount(), 0);
}

TEST(EnsureFeederLoaded, AsksWhileEmptyAndGoesOnOnlyWithPaper)
{
    struct Case {
        bool enabled;
        std::vector<int> statuses;  // what the feeder answers, in turn
        std::vector<int> answers;   // the user's answers to the prompt
        bool result;
        size_t queries;
    } cases[] = {
        {false, {}, {}, true, 0},                  // the scanner is not asked
        {true, {0}, {}, true, 1},                  // paper
        {true, {1, 1, 0}, {1, 1}, true, 3},        // loaded after two prompts
        {true, {1}, {2}, false, 1},                // the user cancels
        {true, {kFeederQueryFailure}, {}, false, 1},
        {true, {111}, {}, false, 1},
    };
    for (const Case& c : cases) {
        size_t queries = 0, prompts = 0;
        bool result = ensureFeederLoaded(
            c.enabled, [&] { return c.statuses[queries++]; }, [&] { return c.answers[prompts++]; });
        EXPECT_EQ(result, c.result);
        EXPECT_EQ(queries, c.queries);
        EXPECT_EQ(prompts, c.answers.size());
    }
}

// A scanner that acknowledges every command and answers the start with a
// stream given by the test, in 1000-byte blocks and a final status. Like a
// real one it ends its stream (early after the stop command) before it
// answers a command sent while the stream runs.
class StreamLink : public ScannerLink {
public:
    int open() override { return SCAN_REPLY_SUCCESS; }
    int close() override { return 1; }
    void purge() override
    {
        while (streaming_)
            nextBlock();
        pipe_.clear();
    }
    int write(const uint8_t* data, uint32_t) override
    {
        letters += static_cast<char>(data[2]);
        if (data[2] == CMD_START) {
            streaming_ = true;
            sent_ = 0;
        } else if (data[2] == CMD_ABORT) {
            stopped_ = streaming_;
        } else {
            std::deque<uint8_t>& to = streaming_ ? held_ : pipe_;
            to.insert(to.end(), {0x1B, 'S', data[2], 0, 0, 0, 0, 0});
        }
        return USB_OK;
    }
    int read(uint8_t* dst, uint32_t length) override
    {
        while (pipe_.size() < length && streaming_)
            nextBlock();
        if (pipe_.size() < length)
            return USB_FAILED;
        std::copy(pipe_.begin(), pipe_.begin() + length, dst);
        pipe_.erase(pipe_.begin(), pipe_.begin() + length);
        return USB_OK;
    }
    uint32_t lastError() const override { return 0; }

    std::vector<uint8_t> stream;
    std::string letters;

private:
    void nextBlock()
    {
        size_t block = stopped_ ? 0 : std::min<size_t>(1000, stream.size() - sent_);
        uint8_t header[8] = {0, 's', 'd', static_cast<uint8_t>(block), static_cast<uint8_t>(block >> 8)};
        if (block == 0) {
            header[1] = header[2] = 'S';
            header[3] = stopped_ ? SCANCMD_RESULT_STOPREQUESTED : 0;
            header[4] = 0;
            streaming_ = stopped_ = false;
        }
        pipe_.insert(pipe_.end(), header, header + 8);
        pipe_.insert(pipe_.end(), stream.begin() + sent_, stream.begin() + sent_ + block);
        sent_ += block;
        if (!streaming_) {
            pipe_.insert(pipe_.end(), held_.begin(), held_.end());
            held_.clear();
        }
    }

    std::deque<uint8_t> pipe_;
    std::deque<uint8_t> held_;
    size_t sent_ = 0;
    bool streaming_ = false;
    bool stopped_ = false;
};

TEST(ScanJobStream, BadStreamsFailWithAMessageAndLeaveTheScannerReady)
{
    // Grey, 300 dpi, a quarter inch square: 75 x 75.
    std::vector<uint8_t> image(75 * 76);
    for (size_t i = 0; i < image.size(); ++i)
        image[i] = static_cast<uint8_t>(i * 7);
    scancodec::EncoderSettings coding;
    coding.withHeader = true;
    std::vector<uint8_t> good, rowTooMany;
    ASSERT_EQ(scancodec::encodeStream(image.data(), 75, 75, 1, coding, good), scancodec::EncodeDone);
    ASSERT_EQ(scancodec::encodeStream(image.data(), 75, 76, 1, coding, rowTooMany), scancodec::EncodeDone);
    std::vector<uint8_t> predictorTen = good;
    ASSERT_EQ(predictorTen[0], 0xFF) << "the stream starts with its header";
    predictorTen[8] = 10;
    struct Case {
        const char* what;
        std::vector<uint8_t> stream;
        int result;
        const char* letters;
    } cases[] = {
        {"whole", good, SCAN_REPLY_SUCCESS, "LCDOZSMGU"},
        {"short", std::vector<uint8_t>(good.begin(), good.end() - 100), SCAN_RESULT_SETUP_FAILED, "LCDOZSMGU"},
        // Longer than the engine's buffer: the decoder meets it while the
        // device still sends, so the scanner must be stopped first.
        {"corrupt", std::vector<uint8_t>(140000, 0xFF), SCAN_RESULT_SETUP_FAILED, "LCDOZSMGAU"},
        {"predictor 10", predictorTen, SCAN_RESULT_SETUP_FAILED, "LCDOZSMGU"},
        {"a row more than the image has", rowTooMany, SCAN_RESULT_SETUP_FAILED, "LCDOZSMGU"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        StreamLink link;
        RecordingNotices notices;
        ScannerProtocol protocol(link, notices);
        double now = 0;
        FakeLampView lamp(now);
        FakeView view;
        FakeBitmapBuilder bitmap;
        RecordingExecutionState executionState;
        volatile int cancel = 0;
        ScanJobServices services{protocol, lamp, lamp, view, bitmap, executionState, cancel};
        ScanRequest request;
        request.parameters.pixelType = PIXEL_TYPE_GREY;
        request.parameters.left = request.parameters.top = 0;
        request.parameters.right = request.parameters.bottom = 1200;
        DibHandle dib = nullptr;
        link.stream = c.stream;
        EXPECT_EQ(runScanJob(services, request, 1, 0, &dib), c.result);
        EXPECT_EQ(link.letters, c.letters);
        EXPECT_EQ(view.closed, 1);
        if (c.result == SCAN_REPLY_SUCCESS) {
            EXPECT_EQ(bitmap.store.size(), 75u * 75u);
        } else {
            EXPECT_EQ(dib, nullptr);
            EXPECT_EQ(bitmap.dib, nullptr);
            EXPECT_EQ(notices.shown, std::vector<unsigned>{IDS_ERROR_DECOMP_MORE});
            EXPECT_EQ(cancel, 0);
        }
        // The next scan on the same scanner is not read out of this one's remains.
        link.stream = good;
        link.letters.clear();
        notices.shown.clear();
        bitmap = FakeBitmapBuilder{};
        EXPECT_EQ(runScanJob(services, request, 1, 0, &dib), SCAN_REPLY_SUCCESS);
        EXPECT_EQ(link.letters, "LCDOZSMGU");
        EXPECT_TRUE(notices.shown.empty());
        EXPECT_EQ(bitmap.store.size(), 75u * 75u);
    }
}

}  // namespace
