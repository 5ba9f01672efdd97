#include <gtest/gtest.h>

#include <cstring>
#include <new>
#include <stdexcept>
#include <vector>

#include "FakeSourcePlatform.h"
#include "FakeTransferServices.h"
#include "ScanParameters.h"
#include "SourceContext.h"
#include "SourceDispatch.h"
#include "TransferOperations.h"

namespace {
class Transfers : public ::testing::Test {
protected:
    FakeSourcePlatform platform;
    FakeTransferServices services;
    TW_IDENTITY application{};
    ScanParameters savedParameters;

    void SetUp() override
    {
        resetSourceContext();
        setSourcePlatform(&platform);
        setTransferServices(&services);
        savedParameters = currentScanParameters();
        application.Id = 7;
        TW_IDENTITY source{};
        source.Id = 42;
        ASSERT_EQ(call(DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, &source), TWRC_SUCCESS);
        services.scannedDib = makeDib(5, 7, 24);
    }

    void TearDown() override
    {
        resetTransfers();
        EXPECT_EQ(services.liveBlocks(), 0u) << "every scanned bitmap is freed or handed over";
        currentScanParameters() = savedParameters;
        setTransferServices(nullptr);
        setSourcePlatform(nullptr);
    }

    TW_UINT16 call(TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data = nullptr)
    {
        return dispatchTwainCall(TwainRequest{&application, dg, dat, msg, data});
    }

    TW_UINT16 status()
    {
        TW_STATUS answer{};
        call(DG_CONTROL, DAT_STATUS, MSG_GET, &answer);
        return answer.ConditionCode;
    }

    int closeRequests() const
    {
        int count = 0;
        for (TW_UINT16 message : platform.notifications)
            count += message == MSG_CLOSEDSREQ;
        return count;
    }

    TW_UINT16 memXfer(TW_IMAGEMEMXFER& xfer) { return call(DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET, &xfer); }
    TW_UINT16 pending(TW_UINT16 msg, TW_PENDINGXFERS& answer)
    {
        return call(DG_CONTROL, DAT_PENDINGXFERS, msg, &answer);
    }
};
}

// Which operation is served in which state: every other state answers
// TWRC_FAILURE with TWCC_SEQERROR.
TEST_F(Transfers, EachOperationChecksTheStateFirst)
{
    struct Case {
        TW_UINT32 dg;
        TW_UINT16 dat, msg;
        std::vector<int> servedIn;
    } cases[] = {
        {DG_IMAGE, DAT_IMAGEINFO, MSG_GET, {4, 5, 6, 7}},
        {DG_CONTROL, DAT_SETUPMEMXFER, MSG_GET, {4, 5, 6}},
        {DG_CONTROL, DAT_SETUPFILEXFER, MSG_GET, {4, 5, 6}},
        {DG_CONTROL, DAT_XFERGROUP, MSG_GET, {4, 5, 6}},
        {DG_IMAGE, DAT_PALETTE8, MSG_GET, {4, 5, 6}},
        {DG_CONTROL, DAT_PENDINGXFERS, MSG_GET, {4, 5, 6, 7}},
        {DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, {5, 6, 7}},
        {DG_CONTROL, DAT_PENDINGXFERS, MSG_RESET, {6, 7}},
        {DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET, {6}},
        {DG_IMAGE, DAT_IMAGEFILEXFER, MSG_GET, {6}},
        {DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET, {6}},
    };
    for (const Case& c : cases) {
        for (int state = StateLoaded; state <= StateTransferring; ++state) {
            setSourceState(state);
            alignas(8) uint8_t data[2048] = {};
            auto* xfer = reinterpret_cast<TW_IMAGEMEMXFER*>(data);
            xfer->Memory = TW_MEMORY{TWMF_APPOWNS | TWMF_POINTER, 1024, data + 1024};
            TW_HANDLE image = nullptr;
            TW_MEMREF pData = c.dat == DAT_IMAGENATIVEXFER ? static_cast<TW_MEMREF>(&image) : data;
            if (c.dat == DAT_IMAGEFILEXFER) {
                TW_SETUPFILEXFER target{"C:\\page.bmp", TWFF_BMP, 0};
                setSourceState(StateOpen);
                call(DG_CONTROL, DAT_SETUPFILEXFER, MSG_SET, &target);
                setSourceState(state);
            }
            bool served = std::find(c.servedIn.begin(), c.servedIn.end(), state) != c.servedIn.end();
            TW_UINT16 answer = call(c.dg, c.dat, c.msg, pData);
            TW_UINT16 code = status();
            if (image)
                services.freeMemory(image);
            resetTransfers();
            if (served) {
                EXPECT_NE(answer, TWRC_FAILURE) << c.dat << "/" << c.msg << " in state " << state;
            } else {
                EXPECT_EQ(answer, TWRC_FAILURE) << c.dat << "/" << c.msg << " in state " << state;
                EXPECT_EQ(code, TWCC_SEQERROR) << c.dat << "/" << c.msg << " in state " << state;
            }
        }
    }
}

TEST_F(Transfers, UnsupportedMessagesAreBadProtocol)
{
    setSourceState(StateTransferReady);
    std::pair<TW_UINT16, TW_UINT16> requests[] = {
        {DAT_IMAGEINFO, MSG_SET},        {DAT_IMAGELAYOUT, MSG_GETNEXT},  {DAT_IMAGEMEMXFER, MSG_SET},
        {DAT_IMAGENATIVEXFER, MSG_SET},  {DAT_IMAGEFILEXFER, MSG_RESET},   {DAT_PALETTE8, MSG_GETCURRENT},
    };
    uint8_t data[1100] = {};
    for (auto [dat, msg] : requests) {
        EXPECT_EQ(call(DG_IMAGE, dat, msg, data), TWRC_FAILURE) << dat;
        EXPECT_EQ(status(), TWCC_BADPROTOCOL) << dat;
    }
    for (TW_UINT16 dat : {DAT_PENDINGXFERS, DAT_SETUPMEMXFER, DAT_SETUPFILEXFER, DAT_XFERGROUP}) {
        EXPECT_EQ(call(DG_CONTROL, dat, MSG_PROCESSEVENT + 1, data), TWRC_FAILURE) << dat;
        EXPECT_EQ(status(), TWCC_BADPROTOCOL) << dat;
    }
    EXPECT_EQ(services.scans, 0);
}

TEST_F(Transfers, NativeTransferHandsOverTheBitmapAndAsksToBeClosed)
{
    setSourceState(StateTransferReady);
    TW_HANDLE image = nullptr;
    EXPECT_EQ(call(DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET, &image), TWRC_XFERDONE);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(services.bytes(image), services.scannedDib);
    EXPECT_EQ(services.lastDibOrder, 1);
    EXPECT_EQ(services.lastForMemoryTransfer, 0);
    EXPECT_EQ(sourceState(), StateTransferring);
    EXPECT_EQ(closeRequests(), 1);
    services.freeMemory(image);

    TW_PENDINGXFERS answer{99, {0xdeadbeef}};
    EXPECT_EQ(pending(MSG_ENDXFER, answer), TWRC_SUCCESS);
    EXPECT_EQ(+answer.Count, 0);
    EXPECT_EQ(sourceState(), StateTransferReady);
}

TEST_F(Transfers, TheStateIsSetBeforeTheApplicationIsAskedToClose)
{
    TW_HANDLE image = nullptr;
    platform.duringNotification = [&](TW_UINT16) {
        EXPECT_EQ(sourceState(), StateTransferring);
        if (image)
            services.freeMemory(image);
        TW_PENDINGXFERS count{};
        EXPECT_EQ(pending(MSG_ENDXFER, count), TWRC_SUCCESS);
        EXPECT_EQ(call(DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS), TWRC_SUCCESS);
        EXPECT_EQ(call(DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS), TWRC_SUCCESS);
    };
    setSourceState(StateTransferReady);
    EXPECT_EQ(call(DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET, &image), TWRC_XFERDONE);
    EXPECT_EQ(sourceState(), StateLoaded);
    platform.duringNotification = nullptr;
}

TEST_F(Transfers, WhileAScanWaitsTheApplicationCanNeitherEndNorCloseIt)
{
    std::vector<TW_UINT16> answers;
    std::vector<TW_UINT16> conditions;
    services.duringScan = [&] {
        TW_HANDLE nestedImage = nullptr;
        TW_PENDINGXFERS count{};
        TW_USERINTERFACE userInterface{0, 0, nullptr};
        answers.push_back(call(DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET, &nestedImage));
        conditions.push_back(status());
        answers.push_back(call(DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, &count));
        answers.push_back(call(DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS, &userInterface));
        answers.push_back(call(DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS, &userInterface));
        answers.push_back(call(DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS));
        conditions.push_back(status());
        // Asking is allowed.
        answers.push_back(call(DG_CONTROL, DAT_PENDINGXFERS, MSG_GET, &count));
    };
    setSourceState(StateTransferReady);
    TW_HANDLE image = nullptr;
    EXPECT_EQ(call(DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET, &image), TWRC_XFERDONE);
    EXPECT_EQ(answers, (std::vector<TW_UINT16>{TWRC_FAILURE, TWRC_FAILURE, TWRC_FAILURE, TWRC_FAILURE, TWRC_FAILURE,
                                               TWRC_SUCCESS}));
    EXPECT_EQ(conditions, (std::vector<TW_UINT16>{TWCC_SEQERROR, TWCC_SEQERROR}));
    EXPECT_EQ(services.scans, 1);
    EXPECT_EQ(sourceState(), StateTransferring);
    services.freeMemory(image);
}

TEST_F(Transfers, AFailedScanLeavesAConditionCodeToRead)
{
    setSourceState(StateTransferReady);
    services.scanResult = 110;
    TW_HANDLE image = nullptr;
    EXPECT_EQ(call(DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET, &image), TWRC_FAILURE);
    EXPECT_EQ(status(), TWCC_OPERATIONERROR);
    EXPECT_EQ(image, nullptr);
    EXPECT_EQ(sourceState(), StateTransferReady);

    TW_IMAGEMEMXFER xfer{};
    EXPECT_EQ(memXfer(xfer), TWRC_FAILURE);
    EXPECT_EQ(status(), TWCC_OPERATIONERROR);

    TW_SETUPFILEXFER target{"C:\\page.bmp", TWFF_BMP, 0};
    ASSERT_EQ(call(DG_CONTROL, DAT_SETUPFILEXFER, MSG_SET, &target), TWRC_SUCCESS);
    EXPECT_EQ(call(DG_IMAGE, DAT_IMAGEFILEXFER, MSG_GET), TWRC_FAILURE);
    EXPECT_EQ(status(), TWCC_OPERATIONERROR);
    EXPECT_TRUE(services.saves.empty());
    EXPECT_EQ(sourceState(), StateTransferReady);
}

TEST_F(Transfers, FileTransferWritesTheChosenFormat)
{
    setSourceState(StateTransferReady);
    services.jpegQuality = -3;
    TW_SETUPFILEXFER target{"C:\\Scans\\2026.12\\page.jpg", TWFF_JFIF, 0};
    ASSERT_EQ(call(DG_CONTROL, DAT_SETUPFILEXFER, MSG_SET, &target), TWRC_SUCCESS);
    EXPECT_EQ(services.imageFileFormat, TWFF_JFIF) << "the format becomes ICAP_IMAGEFILEFORMAT's value";
    EXPECT_TRUE(services.fileExists("C:\\Scans\\2026.12\\page.jpg")) << "MSG_SET creates the file";

    EXPECT_EQ(call(DG_IMAGE, DAT_IMAGEFILEXFER, MSG_GET), TWRC_XFERDONE);
    EXPECT_EQ(status(), TWCC_SUCCESS);
    ASSERT_EQ(services.saves.size(), 1u);
    EXPECT_EQ(services.saves[0].first.code, 10);
    EXPECT_EQ(services.saves[0].first.qualityFactor, 240);
    EXPECT_EQ(services.saves[0].second, "C:\\Scans\\2026.12\\page.jpg");
    EXPECT_EQ(services.lastDibOrder, 1);
    EXPECT_EQ(sourceState(), StateTransferring);
    EXPECT_EQ(closeRequests(), 1);
}

TEST_F(Transfers, FileTransferNeverAnswersDoneWithoutAFile)
{
    setSourceState(StateTransferReady);
    EXPECT_EQ(call(DG_IMAGE, DAT_IMAGEFILEXFER, MSG_GET), TWRC_FAILURE) << "no file named yet";
    EXPECT_EQ(status(), TWCC_BADVALUE);
    TW_SETUPFILEXFER unknown{"C:\\Scans\\page.xyz", TWFF_PICT, 0};
    ASSERT_EQ(call(DG_CONTROL, DAT_SETUPFILEXFER, MSG_SET, &unknown), TWRC_SUCCESS);
    EXPECT_EQ(call(DG_IMAGE, DAT_IMAGEFILEXFER, MSG_GET), TWRC_FAILURE);
    EXPECT_EQ(status(), TWCC_BADVALUE);
    EXPECT_EQ(services.scans, 0) << "refused before scanning";

    TW_SETUPFILEXFER bmp{"C:\\Scans\\page.bmp", TWFF_BMP, 0};
    ASSERT_EQ(call(DG_CONTROL, DAT_SETUPFILEXFER, MSG_SET, &bmp), TWRC_SUCCESS);
    services.saveResult = 0;
    EXPECT_EQ(call(DG_IMAGE, DAT_IMAGEFILEXFER, MSG_GET), TWRC_FAILURE);
    EXPECT_EQ(status(), TWCC_CAPUNSUPPORTED);
    services.saveResult = -5;
    EXPECT_EQ(call(DG_IMAGE, DAT_IMAGEFILEXFER, MSG_GET), TWRC_FAILURE);
    EXPECT_EQ(status(), TWCC_CAPUNSUPPORTED);
    EXPECT_EQ(sourceState(), StateTransferReady);
}

TEST_F(Transfers, SetupFileXferNamesATemporaryBitmapAndReportsFailures)
{
    TW_SETUPFILEXFER setup{};
    setup.Format = 77;
    setup.VRefNum = 5;
    EXPECT_EQ(call(DG_CONTROL, DAT_SETUPFILEXFER, MSG_GETDEFAULT, &setup), TWRC_SUCCESS);
    EXPECT_STREQ(setup.FileName, "C:\\TEMP\\ZVP41A.tmp.BMP");
    EXPECT_EQ(+setup.Format, TWFF_BMP);
    EXPECT_EQ(+setup.VRefNum, 0);

    services.filesCreate = false;
    EXPECT_EQ(call(DG_CONTROL, DAT_SETUPFILEXFER, MSG_GET, &setup), TWRC_FAILURE);
    TW_SETUPFILEXFER target{"C:\\nowhere\\page.bmp", TWFF_BMP, 0};
    EXPECT_EQ(call(DG_CONTROL, DAT_SETUPFILEXFER, MSG_SET, &target), TWRC_FAILURE);
    EXPECT_EQ(status(), TWCC_BADVALUE);

    // A name without its terminator is cut to 255 characters.
    TW_SETUPFILEXFER longName{};
    memset(longName.FileName, 'a', sizeof longName.FileName);
    services.filesCreate = true;
    EXPECT_EQ(call(DG_CONTROL, DAT_SETUPFILEXFER, MSG_SET, &longName), TWRC_SUCCESS);
    EXPECT_EQ(services.files.back().size(), 255u);
}

TEST_F(Transfers, MemoryTransferDeliversWholeRowsInStrips)
{
    setSourceState(StateTransferReady);
    // 5 pixels of colour: 16 bytes a row; a buffer of 2.5 rows takes two.
    std::vector<uint8_t> buffer(40, 0xee);
    TW_IMAGEMEMXFER xfer{};
    xfer.Memory = TW_MEMORY{TWMF_APPOWNS | TWMF_POINTER, 40, buffer.data()};
    std::vector<TW_UINT16> answers;
    std::vector<uint8_t> assembled;
    for (int call = 0; call < 10; ++call) {
        TW_UINT16 answer = memXfer(xfer);
        answers.push_back(answer);
        ASSERT_NE(answer, TWRC_FAILURE) << status();
        EXPECT_EQ(+xfer.BytesPerRow, 16u);
        EXPECT_EQ(+xfer.Columns, 5u);
        EXPECT_EQ(+xfer.XOffset, 0u);
        EXPECT_EQ(+xfer.YOffset, assembled.size() / 16);
        EXPECT_EQ(+xfer.BytesWritten, xfer.Rows * 16);
        EXPECT_EQ(sourceState(), StateTransferring);
        assembled.insert(assembled.end(), buffer.begin(), buffer.begin() + xfer.BytesWritten);
        if (answer == TWRC_XFERDONE)
            break;
        EXPECT_EQ(closeRequests(), 0);
    }
    EXPECT_EQ(answers, (std::vector<TW_UINT16>{TWRC_SUCCESS, TWRC_SUCCESS, TWRC_SUCCESS, TWRC_XFERDONE}));
    EXPECT_EQ(std::vector<uint8_t>(services.scannedDib.begin() + 40, services.scannedDib.end()), assembled)
        << "rows in the order the bitmap stores them";
    EXPECT_EQ(services.scans, 1);
    EXPECT_EQ(services.lastDibOrder, 0);
    EXPECT_EQ(services.lastForMemoryTransfer, 1);
    EXPECT_EQ(closeRequests(), 1);
    EXPECT_EQ(services.locksHeld(), 0);

    EXPECT_EQ(memXfer(xfer), TWRC_FAILURE) << "nothing left once the image is delivered";
    EXPECT_EQ(status(), TWCC_SEQERROR);
}

TEST_F(Transfers, MemoryTransferFillsHandleBuffersAndRefusesTooSmallOnes)
{
    services.scannedDib = makeDib(10, -3, 1);  // a top-down line-art image
    setSourceState(StateTransferReady);
    TW_HANDLE handle = services.allocate(std::vector<uint8_t>(12));
    TW_IMAGEMEMXFER xfer{};
    xfer.Memory = TW_MEMORY{TWMF_APPOWNS | TWMF_HANDLE, 3, handle};
    EXPECT_EQ(memXfer(xfer), TWRC_FAILURE) << "three bytes hold no row of four";
    EXPECT_EQ(status(), TWCC_BADVALUE);
    EXPECT_EQ(sourceState(), StateTransferring) << "the image waits for a larger buffer";

    xfer.Memory.Length = 1000;  // more than the handle holds: the handle's size counts
    EXPECT_EQ(memXfer(xfer), TWRC_XFERDONE);
    EXPECT_EQ(+xfer.Rows, 3u);
    EXPECT_EQ(services.bytes(handle), (std::vector<uint8_t>{1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3}));
    EXPECT_EQ(services.locksHeld(), 0);
    services.freeMemory(handle);
}

TEST_F(Transfers, CancelledMemoryTransferWaitsInStateSevenForTheApplication)
{
    for (TW_UINT16 ending : {MSG_ENDXFER, MSG_RESET}) {
        setSourceState(StateTransferReady);
        services.scanResult = 103;
        TW_IMAGEMEMXFER xfer{};
        EXPECT_EQ(memXfer(xfer), TWRC_CANCEL);
        EXPECT_EQ(status(), TWCC_SUCCESS);
        EXPECT_EQ(sourceState(), StateTransferring);
        TW_PENDINGXFERS answer{};
        EXPECT_EQ(pending(MSG_GET, answer), TWRC_SUCCESS);
        EXPECT_EQ(+answer.Count, 0);
        EXPECT_EQ(pending(ending, answer), TWRC_SUCCESS);
        EXPECT_EQ(sourceState(), ending == MSG_ENDXFER ? StateTransferReady : StateEnabled);
    }
}

TEST_F(Transfers, EndingATransferMidwayFreesTheImage)
{
    setSourceState(StateTransferReady);
    std::vector<uint8_t> buffer(16);
    TW_IMAGEMEMXFER xfer{};
    xfer.Memory = TW_MEMORY{TWMF_APPOWNS | TWMF_POINTER, 16, buffer.data()};
    EXPECT_EQ(memXfer(xfer), TWRC_SUCCESS);
    EXPECT_EQ(services.liveBlocks(), 1u);
    TW_PENDINGXFERS answer{};
    EXPECT_EQ(pending(MSG_ENDXFER, answer), TWRC_SUCCESS);
    EXPECT_EQ(services.liveBlocks(), 0u);
    EXPECT_EQ(memXfer(xfer), TWRC_SUCCESS) << "state 6 again: a new scan";
    EXPECT_EQ(+xfer.YOffset, 0u);
    EXPECT_EQ(services.scans, 2);
}

TEST_F(Transfers, PendingTransfersFollowTheFeeder)
{
    services.feeder = true;
    services.feederStatus = 0;  // paper
    setSourceState(StateTransferReady);
    TW_HANDLE image = nullptr;
    ASSERT_EQ(call(DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET, &image), TWRC_XFERDONE);
    services.freeMemory(image);
    TW_PENDINGXFERS answer{0, {0xdeadbeef}};
    EXPECT_EQ(pending(MSG_GET, answer), TWRC_SUCCESS);
    EXPECT_EQ(+answer.Count, TW_UINT16(-1));
    EXPECT_EQ(pending(MSG_ENDXFER, answer), TWRC_SUCCESS);
    EXPECT_EQ(+answer.Count, TW_UINT16(-1));
    EXPECT_EQ(+answer.Reserved, 0u);
    EXPECT_EQ(sourceState(), StateTransferReady);
    EXPECT_EQ(closeRequests(), 1);

    // The next page before the close request is acted on.
    ASSERT_EQ(call(DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET, &image), TWRC_XFERDONE);
    services.freeMemory(image);
    services.feederStatus = 1;  // empty
    EXPECT_EQ(pending(MSG_ENDXFER, answer), TWRC_SUCCESS);
    EXPECT_EQ(+answer.Count, 0);
    EXPECT_EQ(sourceState(), StateTransferReady);

    // From state 6 the count is 0 and the source goes to state 5, paper or not.
    services.feederStatus = 0;
    EXPECT_EQ(pending(MSG_ENDXFER, answer), TWRC_SUCCESS);
    EXPECT_EQ(+answer.Count, 0);
    EXPECT_EQ(sourceState(), StateEnabled);

    services.feeder = false;
    int queries = services.feederQueries;
    EXPECT_EQ(pending(MSG_GET, answer), TWRC_SUCCESS);
    EXPECT_EQ(+answer.Count, 1);
    EXPECT_EQ(services.feederQueries, queries) << "the scanner is asked only while the feeder is enabled";
}

TEST_F(Transfers, PaletteIsAnsweredWithoutScanningOrChangingSettings)
{
    ScanParameters& parameters = currentScanParameters();
    parameters.resolution = 600;
    parameters.right = 4800;
    struct Case {
        int pixelType;
        TW_UINT16 colours;
        TW_ELEMENT8 first, last;
    } cases[] = {
        {TWPT_BW, 2, {0, 255, 255, 255}, {1, 0, 0, 0}},
        {TWPT_GRAY, 256, {0, 0, 0, 0}, {255, 255, 255, 255}},
        {TWPT_RGB, 0, {0, 0, 0, 0}, {0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        parameters.pixelType = c.pixelType;
        TW_PALETTE8 palette;
        memset(&palette, 0x5a, sizeof palette);
        EXPECT_EQ(call(DG_IMAGE, DAT_PALETTE8, MSG_GET, &palette), TWRC_SUCCESS);
        EXPECT_EQ(+palette.NumColors, c.colours);
        EXPECT_EQ(+palette.PaletteType, TWPA_RGB);
        TW_ELEMENT8 last = c.colours ? palette.Colors[c.colours - 1] : palette.Colors[255];
        EXPECT_EQ(memcmp(&palette.Colors[0], &c.first, 4), 0) << c.pixelType;
        EXPECT_EQ(memcmp(&last, &c.last, 4), 0) << c.pixelType;
    }
    EXPECT_EQ(services.scans, 0);
    EXPECT_EQ(parameters.resolution, 600);
    EXPECT_EQ(parameters.right, 4800);
}

TEST_F(Transfers, ImageLayoutConvertsTheFrameBothWays)
{
    ScanParameters& parameters = currentScanParameters();
    parameters.resolution = 150;
    services.units = TWUN_PIXELS;
    TW_IMAGELAYOUT layout{};
    layout.Frame = TW_FRAME{{10, 0}, {20, 0}, {160, 0}, {320, 0}};
    EXPECT_EQ(call(DG_IMAGE, DAT_IMAGELAYOUT, MSG_SET, &layout), TWRC_SUCCESS);
    EXPECT_EQ(parameters.left, 320);
    EXPECT_EQ(parameters.top, 640);
    EXPECT_EQ(parameters.right, 5120);
    EXPECT_EQ(parameters.bottom, 10240);

    services.units = TWUN_INCHES;
    TW_IMAGELAYOUT answer{};
    EXPECT_EQ(call(DG_IMAGE, DAT_IMAGELAYOUT, MSG_GETCURRENT, &answer), TWRC_SUCCESS);
    EXPECT_EQ(+answer.Frame.Right.Whole, 1);
    EXPECT_EQ(+answer.Frame.Right.Frac, 0x1111) << "5120 / 4800 inch";
    EXPECT_EQ(+answer.DocumentNumber, 1u);
    EXPECT_EQ(+answer.PageNumber, 1u);
    EXPECT_EQ(+answer.FrameNumber, 1u);

    parameters.resolution = 0;
    services.units = TWUN_PIXELS;
    EXPECT_EQ(call(DG_IMAGE, DAT_IMAGELAYOUT, MSG_SET, &layout), TWRC_FAILURE);
    EXPECT_EQ(status(), TWCC_BADVALUE);
    EXPECT_EQ(parameters.right, 5120) << "a frame that cannot be converted changes nothing";
    EXPECT_EQ(call(DG_IMAGE, DAT_IMAGELAYOUT, MSG_RESET, &layout), TWRC_SUCCESS);
}

TEST_F(Transfers, ImageInfoCompletesTheFrameAndXferGroupWritesOnlyTheLowHalf)
{
    ScanParameters& parameters = currentScanParameters();
    parameters.resolution = 150;
    parameters.left = parameters.right = 0;
    parameters.pixelType = TWPT_BW;
    TW_IMAGEINFO info{};
    EXPECT_EQ(call(DG_IMAGE, DAT_IMAGEINFO, MSG_GET, &info), TWRC_SUCCESS);
    EXPECT_EQ(+info.ImageWidth, 1275);
    EXPECT_EQ(parameters.right, 40800) << "the completed frame is the one that will be scanned";
    EXPECT_EQ(+info.BitsPerPixel, 1);

    TW_UINT32 group = 0xabcd0000;
    EXPECT_EQ(call(DG_CONTROL, DAT_XFERGROUP, MSG_GET, &group), TWRC_SUCCESS);
    EXPECT_EQ(group, 0xabcd0000u | DG_IMAGE) << "only the low half is written";
    EXPECT_EQ(call(DG_CONTROL, DAT_XFERGROUP, MSG_SET, &group), TWRC_SUCCESS);
}

// A3 at 150 dpi reaches past the bed (40800 x 67200) both ways, and so does
// a layout that starts left of it: the scan takes what lies on the bed, and
// that is what every description reports.
TEST_F(Transfers, DescriptionsAreTheImageTheBedAllows)
{
    struct Case {
        const char* what;
        int32_t left, top, right, bottom;
    } cases[] = {
        {"A3 at the left edge", 0, 0, 56125, 79370},
        {"off the bed on every side", -4800, -2400, 45600, 76800},
    };
    ScanParameters& parameters = currentScanParameters();
    parameters.resolution = 150;
    parameters.pixelType = TWPT_GRAY;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        parameters.left = c.left, parameters.top = c.top, parameters.right = c.right, parameters.bottom = c.bottom;
        TW_IMAGEINFO info{};
        ASSERT_EQ(call(DG_IMAGE, DAT_IMAGEINFO, MSG_GET, &info), TWRC_SUCCESS);
        EXPECT_EQ(+info.ImageWidth, 1275);
        EXPECT_EQ(+info.ImageLength, 2100);
        TW_SETUPMEMXFER sizes{};
        ASSERT_EQ(call(DG_CONTROL, DAT_SETUPMEMXFER, MSG_GET, &sizes), TWRC_SUCCESS);
        EXPECT_EQ(+sizes.MinBufSize, 1276u);
        TW_IMAGELAYOUT layout{};
        ASSERT_EQ(call(DG_IMAGE, DAT_IMAGELAYOUT, MSG_GET, &layout), TWRC_SUCCESS);
        EXPECT_EQ(+layout.Frame.Left.Whole, 0);
        EXPECT_EQ(+layout.Frame.Top.Whole, 0);
        EXPECT_EQ(+layout.Frame.Right.Whole, 8);
        EXPECT_EQ(+layout.Frame.Right.Frac, 0x8000);
        EXPECT_EQ(+layout.Frame.Bottom.Whole, 14);
        EXPECT_EQ(parameters.right, c.right) << "the application's frame is kept as it set it";
    }
}

// An application may give up on a memory transfer halfway: the bitmap it
// left behind goes with the session, not with the process.
TEST_F(Transfers, AnAbandonedMemoryTransferIsFreedAtEveryExit)
{
    std::vector<uint8_t> buffer(16);
    TW_IMAGEMEMXFER xfer{};
    xfer.Memory = TW_MEMORY{TWMF_APPOWNS | TWMF_POINTER, 16, buffer.data()};
    TW_IDENTITY source{};
    source.Id = 42;
    struct Case {
        const char* exit;
        TW_UINT16 dat, msg;
        int state;  // the state the exit is asked in
        TW_MEMREF data;
    } cases[] = {
        {"disable", DAT_USERINTERFACE, MSG_DISABLEDS, StateTransferring, nullptr},
        {"close", DAT_IDENTITY, MSG_CLOSEDS, StateTransferring, &source},
        {"native transfer", DAT_IMAGENATIVEXFER, MSG_GET, StateTransferReady, nullptr},
        {"file transfer", DAT_IMAGEFILEXFER, MSG_GET, StateTransferReady, nullptr},
    };
    TW_SETUPFILEXFER target{"C:\\page.bmp", TWFF_BMP, 0};
    ASSERT_EQ(call(DG_CONTROL, DAT_SETUPFILEXFER, MSG_SET, &target), TWRC_SUCCESS);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.exit);
        if (sourceState() == StateLoaded) {
            ASSERT_EQ(call(DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, &source), TWRC_SUCCESS);
        }
        setSourceState(StateTransferReady);
        ASSERT_EQ(memXfer(xfer), TWRC_SUCCESS);
        ASSERT_EQ(services.liveBlocks(), 1u);
        setSourceState(c.state);
        TW_HANDLE native = nullptr;
        TW_UINT32 dg = c.dat == DAT_IMAGENATIVEXFER || c.dat == DAT_IMAGEFILEXFER ? DG_IMAGE : DG_CONTROL;
        call(dg, c.dat, c.msg, c.dat == DAT_IMAGENATIVEXFER ? &native : c.data);
        if (native)
            services.freeMemory(native);
        EXPECT_EQ(services.liveBlocks(), 0u);
    }
}

// Nothing thrown inside may unwind into the application: memory running
// short is TWCC_LOWMEMORY, anything else a plain failure.
TEST_F(Transfers, WhatIsThrownEndsAtTheEntryAsAFailure)
{
    struct Case {
        int throws;
        TW_UINT16 code;
    } cases[] = {{1, TWCC_LOWMEMORY}, {2, TWCC_BUMMER}};
    for (const Case& c : cases) {
        services.throwFromTemporaryFile = c.throws;
        TW_SETUPFILEXFER setup{};
        EXPECT_EQ(call(DG_CONTROL, DAT_SETUPFILEXFER, MSG_GET, &setup), TWRC_FAILURE);
        EXPECT_EQ(status(), c.code);
        EXPECT_EQ(sourceState(), StateOpen);
    }
}
