#include <gtest/gtest.h>

#include <string.h>

#include "FakeSourcePlatform.h"
#include "SourceContext.h"
#include "SourceDispatch.h"

namespace {
class Dispatch : public ::testing::Test {
protected:
    FakeSourcePlatform platform;
    TW_IDENTITY application{};
    TW_IDENTITY source{};

    void SetUp() override
    {
        resetSourceContext();
        strcpy(sourceContext().SourceIdentity.ProductName, "TWAINUI");
        setSourcePlatform(&platform);
        application.Id = 7;
        strcpy(application.ProductName, "Test application");
        source.Id = 42;
    }

    void TearDown() override { setSourcePlatform(nullptr); }

    TW_UINT16 call(TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data, TW_IDENTITY* origin)
    {
        return dispatchTwainCall(TwainRequest{origin, dg, dat, msg, data});
    }

    TW_UINT16 call(TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data = nullptr)
    {
        return call(dg, dat, msg, data, &application);
    }

    TW_UINT16 status()
    {
        TW_STATUS answer{0xdead, 0xbeef};
        EXPECT_EQ(call(DG_CONTROL, DAT_STATUS, MSG_GET, &answer), TWRC_SUCCESS);
        EXPECT_EQ(answer.Reserved, 0);
        return answer.ConditionCode;
    }

    TW_UINT16 open() { return call(DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, &source); }
    TW_UINT16 close() { return call(DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, &source); }

    TW_UINT16 enable(TW_BOOL showUI, void* parent = nullptr)
    {
        TW_USERINTERFACE userInterface{showUI, 0, parent};
        return call(DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS, &userInterface);
    }

    TW_UINT16 disable() { return call(DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS, nullptr); }
};
}

TEST_F(Dispatch, OpenTakesOverTheManagersIdButKeepsTheSourcesTexts)
{
    strcpy(source.ProductName, "whatever the application wrote");
    EXPECT_EQ(open(), TWRC_SUCCESS);
    EXPECT_EQ(sourceState(), StateOpen);
    EXPECT_EQ(sourceContext().SourceIdentity.Id, 42u);
    EXPECT_STREQ(sourceContext().SourceIdentity.ProductName, "TWAINUI");
    EXPECT_EQ(sourceContext().ConnectedApp.Id, 7u);
    EXPECT_EQ(platform.count("bind"), 1);
    EXPECT_EQ(platform.count("load"), 1);
}

TEST_F(Dispatch, OpenWhileOpenFailsAndKeepsTheConnection)
{
    ASSERT_EQ(open(), TWRC_SUCCESS);
    EXPECT_EQ(open(), TWRC_FAILURE);
    EXPECT_EQ(status(), TWCC_SEQERROR);
    EXPECT_EQ(sourceState(), StateOpen);
    EXPECT_EQ(sourceContext().ConnectedApp.Id, 7u);
    EXPECT_EQ(platform.count("load"), 1);
}

TEST_F(Dispatch, OpenWithoutOriginOrIdentityIsRefused)
{
    EXPECT_EQ(call(DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, nullptr), TWRC_FAILURE);
    EXPECT_EQ(call(DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, &source, nullptr), TWRC_FAILURE);
    EXPECT_EQ(status(), TWCC_BADVALUE);
    EXPECT_EQ(sourceState(), StateLoaded);
}

TEST_F(Dispatch, CloseAnswersSuccessInEveryState)
{
    EXPECT_EQ(close(), TWRC_SUCCESS);
    EXPECT_EQ(status(), TWCC_SEQERROR);
    EXPECT_EQ(platform.count("save"), 0) << "no session, nothing to save";
    EXPECT_EQ(platform.count("release"), 1);

    for (int state : {StateOpen, StateEnabled, StateTransferReady, StateTransferring}) {
        ASSERT_EQ(open(), TWRC_SUCCESS);
        setSourceState(state);
        EXPECT_EQ(close(), TWRC_SUCCESS) << state;
        EXPECT_EQ(sourceState(), StateLoaded) << state;
        EXPECT_EQ(sourceContext().ConnectedApp.Id, 0u) << state;
        EXPECT_EQ(status(), TWCC_SUCCESS) << state;
    }
    EXPECT_EQ(platform.count("save"), 4);
    EXPECT_EQ(platform.count("release imaging"), 5) << "the imaging library goes with every session";
}

TEST_F(Dispatch, CloseDestroysAWindowThatIsStillOpen)
{
    ASSERT_EQ(open(), TWRC_SUCCESS);
    ASSERT_EQ(enable(1), TWRC_SUCCESS);
    EXPECT_EQ(close(), TWRC_SUCCESS);
    EXPECT_FALSE(platform.windowOpen);
}

TEST_F(Dispatch, ReopenAfterCloseStartsAFreshSession)
{
    ASSERT_EQ(open(), TWRC_SUCCESS);
    ASSERT_EQ(enable(0), TWRC_SUCCESS);
    ASSERT_EQ(close(), TWRC_SUCCESS);
    call(DG_CONTROL, DAT_IDENTITY, MSG_USERSELECT);  // leaves a condition code behind
    ASSERT_EQ(open(), TWRC_SUCCESS);
    EXPECT_EQ(platform.count("bind"), 2);
    EXPECT_EQ(status(), TWCC_SUCCESS);
    EXPECT_EQ(call(DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS, nullptr), TWRC_SUCCESS);
    EXPECT_EQ(sourceState(), StateEnabled) << "ShowUI is TRUE again in a new session";
}

TEST_F(Dispatch, StatusReportsAConditionOnce)
{
    EXPECT_EQ(call(DG_CONTROL, DAT_IDENTITY, MSG_GETFIRST), TWRC_FAILURE);
    EXPECT_EQ(status(), TWCC_BADPROTOCOL);
    EXPECT_EQ(status(), TWCC_SUCCESS);
    EXPECT_EQ(call(DG_CONTROL, DAT_STATUS, MSG_SET), TWRC_FAILURE);
    EXPECT_EQ(status(), TWCC_BADPROTOCOL);
}

TEST_F(Dispatch, OnlyImageOperationsClearAnEarlierCondition)
{
    ASSERT_EQ(open(), TWRC_SUCCESS);
    ASSERT_EQ(open(), TWRC_FAILURE);
    TW_IDENTITY identity{};
    EXPECT_EQ(call(DG_CONTROL, DAT_IDENTITY, MSG_GET, &identity), TWRC_SUCCESS);
    EXPECT_EQ(sourceContext().pendingConditionCode.ConditionCode, TWCC_SEQERROR);

    EXPECT_EQ(call(DG_IMAGE, DAT_JPEGCOMPRESSION, MSG_GET), TWRC_SUCCESS);
    EXPECT_EQ(status(), TWCC_SUCCESS);

    ASSERT_EQ(open(), TWRC_FAILURE);
    EXPECT_EQ(call(DG_IMAGE, DAT_STATUS, MSG_GET), TWRC_FAILURE) << "not in the image list";
    EXPECT_EQ(status(), TWCC_BADPROTOCOL);
}

TEST_F(Dispatch, UnknownGroupsAndOperationsAreBadProtocol)
{
    EXPECT_EQ(call(DG_AUDIO, DAT_NULL, MSG_GET), TWRC_FAILURE);
    EXPECT_EQ(status(), TWCC_BADPROTOCOL);
    EXPECT_EQ(call(DG_CONTROL, DAT_PARENT, MSG_OPENDSM), TWRC_FAILURE);
    EXPECT_EQ(status(), TWCC_BADPROTOCOL);
    EXPECT_EQ(call(DG_IMAGE, DAT_EXTIMAGEINFO, MSG_GET), TWRC_FAILURE);
    EXPECT_EQ(status(), TWCC_BADPROTOCOL);
    EXPECT_EQ(call(DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDSUIONLY), TWRC_FAILURE);
    EXPECT_EQ(status(), TWCC_BADPROTOCOL);
}

TEST_F(Dispatch, ProcessEventGoesToTheWindowOnlyWhenItExists)
{
    TW_EVENT event{nullptr, 0x1234};
    EXPECT_EQ(call(DG_CONTROL, DAT_EVENT, MSG_PROCESSEVENT, &event), TWRC_NOTDSEVENT);
    EXPECT_EQ(event.TWMessage, 0x1234) << "untouched";
    EXPECT_EQ(call(DG_CONTROL, DAT_EVENT, MSG_PROCESSEVENT, nullptr), TWRC_NOTDSEVENT);

    ASSERT_EQ(open(), TWRC_SUCCESS);
    ASSERT_EQ(enable(1), TWRC_SUCCESS);
    EXPECT_EQ(call(DG_CONTROL, DAT_EVENT, MSG_PROCESSEVENT, &event), TWRC_DSEVENT);
    EXPECT_EQ(event.TWMessage, MSG_NULL);

    platform.windowConsumesMessages = false;
    event.TWMessage = 0x1234;
    EXPECT_EQ(call(DG_CONTROL, DAT_EVENT, MSG_PROCESSEVENT, &event), TWRC_NOTDSEVENT);
    EXPECT_EQ(event.TWMessage, 0x1234);

    platform.windowConsumesMessages = true;
    ASSERT_EQ(disable(), TWRC_SUCCESS);
    EXPECT_EQ(call(DG_CONTROL, DAT_EVENT, MSG_PROCESSEVENT, &event), TWRC_NOTDSEVENT);
}

TEST_F(Dispatch, EnableWithoutInterfaceSignalsATransferBeforeReturning)
{
    ASSERT_EQ(open(), TWRC_SUCCESS);
    EXPECT_EQ(enable(0), TWRC_SUCCESS);
    ASSERT_EQ(platform.notifications.size(), 1u);
    EXPECT_EQ(platform.notifications[0], MSG_XFERREADY);
    EXPECT_EQ(platform.sourceStateAtNotification, StateTransferReady);
    EXPECT_EQ(sourceState(), StateTransferReady);
    EXPECT_EQ(platform.count("create window"), 0);
}

TEST_F(Dispatch, AnApplicationThatClosesInsideTheNotificationLeavesTheSourceClosed)
{
    ASSERT_EQ(open(), TWRC_SUCCESS);
    platform.duringNotification = [this](TW_UINT16) {
        EXPECT_EQ(disable(), TWRC_SUCCESS);
        EXPECT_EQ(close(), TWRC_SUCCESS);
    };
    EXPECT_EQ(enable(0), TWRC_SUCCESS);
    EXPECT_EQ(sourceState(), StateLoaded);
    platform.duringNotification = nullptr;
    EXPECT_EQ(open(), TWRC_SUCCESS) << "the next session opens";
}

TEST_F(Dispatch, ASecondEnableDuringTheMissingScannerBoxFails)
{
    ASSERT_EQ(open(), TWRC_SUCCESS);
    platform.scannerPresent = false;
    TW_UINT16 nested = TWRC_SUCCESS;
    TW_UINT16 nestedCondition = TWCC_SUCCESS;
    bool probing = false;
    platform.duringProbe = [&] {
        if (probing)
            return;
        probing = true;
        // A probe nested in the failed one would find the channel counted
        // open and answer that the scanner is there.
        platform.scannerPresent = true;
        nested = enable(1);
        nestedCondition = status();
    };
    EXPECT_EQ(enable(1), TWRC_FAILURE);
    EXPECT_EQ(nested, TWRC_FAILURE);
    EXPECT_EQ(nestedCondition, TWCC_SEQERROR);
    EXPECT_EQ(sourceState(), StateOpen);
    EXPECT_EQ(platform.count("create window"), 0);
}

TEST_F(Dispatch, ACloseDuringTheWindowsFeederBoxIsRefused)
{
    ASSERT_EQ(open(), TWRC_SUCCESS);
    TW_UINT16 nested = TWRC_SUCCESS;
    platform.duringWindowCreation = [&] { nested = close(); };
    EXPECT_EQ(enable(1), TWRC_SUCCESS);
    EXPECT_EQ(nested, TWRC_FAILURE);
    EXPECT_EQ(status(), TWCC_SEQERROR);
    EXPECT_EQ(sourceState(), StateEnabled);
}

TEST_F(Dispatch, EnableWithInterfaceOpensTheWindowOwnedByTheParent)
{
    ASSERT_EQ(open(), TWRC_SUCCESS);
    int parent = 0;
    EXPECT_EQ(enable(1, &parent), TWRC_SUCCESS);
    EXPECT_EQ(sourceState(), StateEnabled);
    EXPECT_EQ(platform.windowParent, &parent);
    EXPECT_TRUE(platform.notifications.empty());

    ASSERT_EQ(disable(), TWRC_SUCCESS);
    EXPECT_EQ(call(DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS, nullptr), TWRC_SUCCESS);
    EXPECT_EQ(platform.windowParent, &parent) << "a null record keeps the previous values";
}

TEST_F(Dispatch, EnableFailsWhenTheWindowCannotBeCreated)
{
    ASSERT_EQ(open(), TWRC_SUCCESS);
    platform.windowCreates = false;
    EXPECT_EQ(enable(1), TWRC_FAILURE);
    EXPECT_EQ(sourceState(), StateOpen);
    EXPECT_EQ(status(), TWCC_BUMMER);
}

TEST_F(Dispatch, MissingScannerAnswersCheckDeviceOnlineAndBalancesTheOpen)
{
    ASSERT_EQ(open(), TWRC_SUCCESS);
    platform.scannerPresent = false;
    EXPECT_EQ(enable(0), TWRC_FAILURE);
    EXPECT_EQ(status(), TWCC_CHECKDEVICEONLINE);
    EXPECT_EQ(platform.count("close channel"), 1);
    EXPECT_TRUE(platform.tracedWarnings.empty());
    EXPECT_EQ(sourceState(), StateOpen);
    EXPECT_TRUE(platform.notifications.empty());

    platform.channelCloses = false;
    EXPECT_EQ(enable(0), TWRC_FAILURE);
    ASSERT_EQ(platform.tracedWarnings.size(), 1u);
    EXPECT_EQ(platform.tracedWarnings[0], 19u);
}

TEST_F(Dispatch, EnableAndDisableOutOfSequence)
{
    EXPECT_EQ(enable(0), TWRC_FAILURE);
    EXPECT_EQ(status(), TWCC_SEQERROR);
    EXPECT_EQ(disable(), TWRC_FAILURE);
    EXPECT_EQ(status(), TWCC_SEQERROR);

    ASSERT_EQ(open(), TWRC_SUCCESS);
    EXPECT_EQ(disable(), TWRC_FAILURE);
    ASSERT_EQ(enable(0), TWRC_SUCCESS);
    EXPECT_EQ(enable(0), TWRC_FAILURE);
    EXPECT_EQ(status(), TWCC_SEQERROR);
    for (int state : {StateEnabled, StateTransferReady, StateTransferring}) {
        setSourceState(state);
        EXPECT_EQ(disable(), TWRC_SUCCESS) << state;
        EXPECT_EQ(sourceState(), StateOpen);
    }
}

TEST_F(Dispatch, CallsFromAnotherApplicationAreNotServed)
{
    ASSERT_EQ(open(), TWRC_SUCCESS);
    TW_IDENTITY stranger = application;
    stranger.Id = 8;
    EXPECT_EQ(call(DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, &source, &stranger), TWRC_FAILURE);
    EXPECT_EQ(call(DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, &source, nullptr), TWRC_FAILURE);
    EXPECT_EQ(sourceState(), StateOpen);
    EXPECT_EQ(status(), TWCC_SUCCESS);

    TW_IDENTITY identity{};
    identity.Id = 99;
    EXPECT_EQ(call(DG_CONTROL, DAT_IDENTITY, MSG_GET, &identity, nullptr), TWRC_SUCCESS);
    EXPECT_EQ(identity.Id, 99u) << "the caller's Id stays";
    EXPECT_STREQ(identity.ProductName, "TWAINUI");
    EXPECT_EQ(identity.ProtocolMajor, 1);
    EXPECT_EQ(identity.ProtocolMinor, 9);
}

TEST_F(Dispatch, ResponseTablesAreKeptButAnswerFailure)
{
    TW_ELEMENT8 response[256];
    for (int i = 0; i < 256; ++i)
        response[i] = TW_ELEMENT8{static_cast<TW_UINT8>(i), 1, 2, 3};
    EXPECT_EQ(call(DG_IMAGE, DAT_RGBRESPONSE, MSG_SET, response), TWRC_FAILURE);
    EXPECT_EQ(sourceContext().rgbResponse[200].Channel3, 3);
    EXPECT_EQ(call(DG_IMAGE, DAT_GRAYRESPONSE, MSG_RESET), TWRC_FAILURE);
    EXPECT_EQ(sourceContext().grayResponse[200].Channel2, 200);
    EXPECT_EQ(status(), TWCC_SUCCESS) << "no condition code is set";
}

TEST_F(Dispatch, CieColorIsAFixedDeviceDependentRgbDescription)
{
    TW_CIECOLOR color;
    memset(&color, 0xff, sizeof color);
    EXPECT_EQ(call(DG_IMAGE, DAT_CIECOLOR, MSG_GET, &color), TWRC_SUCCESS);
    EXPECT_EQ(color.ColorSpace, TWPT_RGB);
    EXPECT_EQ(color.LowEndian, 0);
    EXPECT_EQ(color.DeviceDependent, 1);
    EXPECT_EQ(color.StageABC.Decode[0].Gamma.Whole, 1);
}

TEST(TwainLayouts, MatchThePublishedSizes)
{
    EXPECT_EQ(sizeof(TW_IDENTITY), 156u);
    EXPECT_EQ(sizeof(TW_STATUS), 4u);
    EXPECT_EQ(sizeof(TW_ONEVALUE), 6u);
    EXPECT_EQ(sizeof(TW_ELEMENT8) * 256, 1024u);
    EXPECT_EQ(sizeof(TW_USERINTERFACE), 4u + sizeof(void*));
}
