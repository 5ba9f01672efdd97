// The emulator driven through the real transport and protocol code.
#include "DeviceFakes.h"
#include "EmulatedDeviceFiles.h"
#include "ScanReplyResult.h"
#include "ScannerLock.h"
#include "ScannerProtocol.h"
#include "StreamFeeder.h"
#include "UsbTransportCore.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

// A 100 dpi page 8.5 inches wide whose grey level is (x + y) mod 256, or
// in colour red = x, green = y, blue = 7.
PageImage testPage(bool colour)
{
    int width = 850, height = 300;
    std::string header = std::string(colour ? "P6" : "P5") + "\n850 300\n255\n";
    std::vector<uint8_t> bytes(header.begin(), header.end());
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if (colour) {
                bytes.push_back(static_cast<uint8_t>(x));
                bytes.push_back(static_cast<uint8_t>(y));
                bytes.push_back(7);
            } else {
                bytes.push_back(static_cast<uint8_t>(x + y));
            }
        }
    }
    PageImage page;
    std::string error;
    EXPECT_TRUE(page.parse(bytes, error)) << error;
    return page;
}

struct EmulatorTest : ::testing::Test {
    double now = 0;
    EmulatorConfig config;
    std::unique_ptr<EmulatedDeviceFiles> files;
    FakeMutexes mutexes;
    std::unique_ptr<UsbTransportCore> transport;
    RecordingNotices notices;
    std::unique_ptr<ScannerProtocol> protocol;
    std::vector<uint8_t> buffer = std::vector<uint8_t>(kMaxScanPayload + 1);

    void plugIn(bool colour = false)
    {
        config.pagePath = "test";
        files = std::make_unique<EmulatedDeviceFiles>(
            std::make_unique<ScannerEmulator>(config, testPage(colour), [this] { return now; }));
        transport = std::make_unique<UsbTransportCore>(*files, mutexes);
        protocol = std::make_unique<ScannerProtocol>(*transport, notices);
        ASSERT_EQ(transport->open(), SCAN_REPLY_SUCCESS);
    }

    int command(const CommandPacket& p) { return protocol->writeEscCommand(p); }

    // Locks and sends a 1 x 0.5 inch frame at 100 dpi, 1 inch from the left
    // and 2 inches from the top.
    void startScan(int pixelType, bool feeder = false)
    {
        ASSERT_EQ(command(makeCommand(CMD_LOCK)), 0);
        ScanParameters p;
        p.pixelType = pixelType;
        p.left = 4800;
        p.top = 9600;
        p.right = 9600;
        p.bottom = 12000;
        DeviceResolution r = deviceResolution(100);
        DeviceFrame f = deviceFrame(p, r);
        ASSERT_EQ(command(colourModeCommand(pixelType)), 0);
        ASSERT_EQ(command(resolutionCommand(r)), 0);
        ASSERT_EQ(command(originCommand(f)), 0);
        ASSERT_EQ(command(sizeCommand(f)), 0);
        ASSERT_EQ(command(sourceCommand(!feeder)), 0);
        ASSERT_EQ(command(brightnessContrastCommand(p)), 0);
        ASSERT_EQ(transport->write(makeCommand(CMD_START).data(), 8), USB_OK);
    }

    // Reads the stream to its end; the data blocks' payload in stream.
    int readStream(std::vector<uint8_t>& stream, int stopAfterBlocks = -1)
    {
        for (int blocks = 0;; ++blocks) {
            if (blocks == stopAfterBlocks) {
                EXPECT_EQ(protocol->sendEscCommandNoReply(makeCommand(CMD_ABORT)), 0);
            }
            int length = 0;
            int r = protocol->readScanReply(&length, buffer.data());
            if (r != SCAN_REPLY_SUCCESS)
                return r;
            stream.insert(stream.end(), buffer.begin(), buffer.begin() + length);
        }
    }
};

}  // namespace

TEST_F(EmulatorTest, AnswersTheDescriptorSearch)
{
    config.deviceIndex = 2;
    plugIn();
    EXPECT_TRUE(transport->pipesOpen());
    EXPECT_EQ(files->openHandles(), 2u);
    transport->close();
    EXPECT_EQ(files->openHandles(), 0u);
}

TEST_F(EmulatorTest, GreyScanCarriesTheFrameOfThePage)
{
    plugIn();
    startScan(PIXEL_TYPE_GREY);
    std::vector<uint8_t> stream;
    EXPECT_EQ(readStream(stream), SCAN_REPLY_STATUS_OK);
    scancodec::FeedResult decoded = scancodec::decodeWhole(stream, 100, 50, 1);
    ASSERT_EQ(decoded.status, scancodec::DecodeLastRow);
    for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 100; ++x)
            ASSERT_EQ(decoded.image[y * 100 + x], (100 + x + 200 + y) & 0xFF) << x << "," << y;
    EXPECT_EQ(command(makeCommand(CMD_UNLOCK)), 0);
    EXPECT_FALSE(files->emulator().locked());
}

TEST_F(EmulatorTest, ColourStreamsDecodeAlikeWithEveryPredictorAndLineOffsets)
{
    std::vector<uint8_t> reference;
    for (int predictor : {0, 1, 7, 9}) {
        config = EmulatorConfig{};
        config.predictor = predictor;
        config.blockSize = 512;
        const uint8_t offsets[6] = {4, 5, 2, 2, 0, 1};
        if (predictor == 7)
            std::copy(offsets, offsets + 6, config.lineOffsets);
        plugIn(true);
        startScan(PIXEL_TYPE_COLOUR);
        std::vector<uint8_t> stream;
        EXPECT_EQ(readStream(stream), SCAN_REPLY_STATUS_OK);
        scancodec::FeedResult decoded = scancodec::decodeWhole(stream, 100, 50, 3);
        ASSERT_EQ(decoded.status, scancodec::DecodeLastRow) << predictor;
        const uint8_t* pixel = decoded.image.data() + (3 * 100 + 5) * 3;
        EXPECT_EQ(pixel[0], 105) << "red: x";
        EXPECT_EQ(pixel[1], 203) << "green: y";
        EXPECT_EQ(pixel[2], 7);
        if (reference.empty())
            reference = decoded.image;
        EXPECT_EQ(decoded.image, reference) << predictor;
        transport->close();
    }
}

TEST_F(EmulatorTest, AbortIsAnsweredAtTheNextHeader)
{
    plugIn();
    startScan(PIXEL_TYPE_GREY);
    std::vector<uint8_t> stream;
    EXPECT_EQ(readStream(stream, 2), SCAN_REPLY_STOP_REQUESTED);
    EXPECT_FALSE(files->emulator().scanning());
}

TEST_F(EmulatorTest, WarmingLampHoldsTheLockOff)
{
    config.warmingSeconds = 3;
    plugIn();
    EXPECT_EQ(command(makeCommand(CMD_LOCK)), SCANCMD_RESULT_WARMING);
    EXPECT_EQ(command(makeCommand(CMD_FEEDER_STATUS)), SCANCMD_RESULT_WARMING);
    EXPECT_EQ(protocol->replyDetail(), FEEDER_LOADED);
    EXPECT_EQ(command(makeCommand(CMD_COLOUR_MODE, 1, 8, 3, 1)), SCANCMD_RESULT_SCANNER_NOT_LOCKED);
    now = 3.0;
    EXPECT_EQ(command(makeCommand(CMD_LOCK)), 0);
}

TEST_F(EmulatorTest, LockWaitRunsUntilTheLampIsWarm)
{
    config.warmingSeconds = 5;
    plugIn();
    struct View : LampWarmingView, SecondsClock {
        double& now;
        explicit View(double& n) : now(n) {}
        unsigned shown = 0;
        void open(unsigned id) override { shown = id; }
        void pumpMessages() override { now += 0.5; }
        void close() override {}
        int64_t nowSeconds() override { return static_cast<int64_t>(now); }
    } view(now);
    volatile int cancel = 0;
    EXPECT_EQ(lockScannerWithWarmingWait(*protocol, view, view, cancel, false), LockOutcome::locked);
    EXPECT_EQ(view.shown, 40u);
    EXPECT_GE(now, 5.0);
    EXPECT_TRUE(files->emulator().locked());
}

TEST_F(EmulatorTest, FeederAnswers)
{
    config.feederDetail = 0;
    plugIn();
    EXPECT_EQ(protocol->queryFeederStatus(true), 1);
    config.scanCoverOpen = true;
    transport->close();
    plugIn();
    EXPECT_EQ(protocol->queryFeederStatus(true), kFeederQueryFailure);
    EXPECT_EQ(notices.shown, (std::vector<unsigned>{1103}));
    EXPECT_EQ(protocol->queryFeederStatus(false), 1);
}

TEST_F(EmulatorTest, EmptyFeederScanEndsWithAFeederStatus)
{
    config.feederDetail = 0;
    plugIn();
    startScan(PIXEL_TYPE_GREY, true);
    std::vector<uint8_t> stream;
    EXPECT_EQ(readStream(stream), SCAN_REPLY_FEEDER_EMPTY);
}

TEST_F(EmulatorTest, FeederRunsEmptyAfterItsPages)
{
    config.feederPages = 2;
    plugIn();
    for (int page = 0; page < 2; ++page) {
        EXPECT_EQ(protocol->queryFeederStatus(true), 0) << page;
        startScan(PIXEL_TYPE_GREY, true);
        std::vector<uint8_t> stream;
        EXPECT_EQ(readStream(stream), SCAN_REPLY_STATUS_OK) << page;
        EXPECT_EQ(command(makeCommand(CMD_UNLOCK)), 0);
    }
    EXPECT_EQ(protocol->queryFeederStatus(true), 1);
    startScan(PIXEL_TYPE_GREY, true);
    std::vector<uint8_t> stream;
    EXPECT_EQ(readStream(stream), SCAN_REPLY_FEEDER_EMPTY);
}

TEST_F(EmulatorTest, LockRefusals)
{
    config.jamAtLock = true;
    plugIn();
    EXPECT_EQ(command(makeCommand(CMD_LOCK)), SCANCMD_RESULT_ADFSTATUS);
    transport->close();
    config.jamAtLock = false;
    config.notLockedDetail = 5;
    config.notLockedSeconds = 2;
    plugIn();
    EXPECT_EQ(command(makeCommand(CMD_LOCK)), SCANCMD_RESULT_SCANNER_NOT_LOCKED);
    EXPECT_EQ(protocol->replyDetail(), 5);
    now = 2;
    EXPECT_EQ(command(makeCommand(CMD_LOCK)), 0);
}

TEST_F(EmulatorTest, StreamFaults)
{
    struct Case {
        const char* name;
        void (*configure)(EmulatorConfig&);
        int result;
    };
    const Case cases[] = {
        {"jam", [](EmulatorConfig& c) { c.jamAtBlock = 2; }, SCAN_REPLY_FEEDER_JAM},
        {"garbage", [](EmulatorConfig& c) { c.garbageHeaderAtBlock = 1; }, SCAN_REPLY_BAD_HEADER},
        {"overlong", [](EmulatorConfig& c) { c.overlongPayloadAtBlock = 3; }, SCAN_REPLY_BAD_HEADER},
        {"timeout", [](EmulatorConfig& c) { c.timeoutAtByte = 3000; }, SCAN_REPLY_TIMEOUT},
        {"disconnect", [](EmulatorConfig& c) { c.disconnectAtByte = 3000; }, SCAN_REPLY_BAD_HEADER},
    };
    for (const Case& c : cases) {
        config = EmulatorConfig{};
        c.configure(config);
        plugIn();
        startScan(PIXEL_TYPE_GREY);
        std::vector<uint8_t> stream;
        EXPECT_EQ(readStream(stream), c.result) << c.name;
        if (config.disconnectAtByte != kNever) {
            EXPECT_EQ(command(makeCommand(CMD_UNLOCK)), SCANCMD_TRANSPORT_FAILURE);
        }
        transport->close();
    }
}
