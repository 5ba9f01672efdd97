#include "DeviceFakes.h"
#include "StringIds.h"
#include "ScanReplyResult.h"
#include "ScannerProtocol.h"

#include <gtest/gtest.h>

namespace {

struct ProtocolTest : ::testing::Test {
    ScriptedLink link;
    RecordingNotices notices;
    ScannerProtocol protocol{link, notices};
    uint8_t buffer[kMaxScanPayload + 1] = {};
    int length = -1;
};

}  // namespace

TEST_F(ProtocolTest, CommandAnswersTheReplyStatusAndKeepsTheReply)
{
    link.reply(3, 1);
    EXPECT_EQ(protocol.writeEscCommand(makeCommand(CMD_FEEDER_STATUS)), 3);
    ASSERT_EQ(link.written.size(), 1u);
    EXPECT_EQ(link.written[0], (std::vector<uint8_t>{0x1B, 0x53, 0x46, 0, 0, 0, 0, 0}));
    EXPECT_EQ(protocol.replyDetail(), 1);
    EXPECT_EQ(protocol.commandBuffer()[0], 0x1B);
}

TEST_F(ProtocolTest, TransportFailuresAnswer255)
{
    link.writeFails = true;
    EXPECT_EQ(protocol.writeEscCommand(makeCommand(CMD_LOCK)), 255);
    ASSERT_EQ(notices.traces.size(), 2u);
    EXPECT_EQ(notices.traces[0], "Failed on USBWrite in writeEscCommand");
    EXPECT_EQ(notices.traces[1], "GetLastError = error 31");
    EXPECT_EQ(protocol.sendEscCommandNoReply(makeCommand(CMD_ABORT)), 255);

    link.writeFails = false;
    notices.traces.clear();
    EXPECT_EQ(protocol.writeEscCommand(makeCommand(CMD_LOCK)), 255);  // no reply arrives
    EXPECT_EQ(notices.traces, (std::vector<std::string>{"Failed on USBRead in writeEscCommand"}));
    EXPECT_EQ(protocol.sendEscCommandNoReply(makeCommand(CMD_ABORT)), 0);
}

// A real scanner may take longer than one transfer time-out to answer a
// command (lamp on, carriage home, a sheet picked): its reply is waited for,
// a few time-outs long, and not taken for a dead link.
TEST_F(ProtocolTest, ASlowReplyIsWaitedForButNotForEver)
{
    link.failures = 3;
    link.reply(0, 1);
    EXPECT_EQ(protocol.writeEscCommand(makeCommand(CMD_LOCK)), 0);
    EXPECT_EQ(protocol.replyDetail(), 1);
    EXPECT_EQ(link.written.size(), 1u) << "the command goes out once";

    link.reads = 0;
    link.failures = 4;
    link.reply(0);
    EXPECT_EQ(protocol.writeEscCommand(makeCommand(CMD_LOCK)), 255);
    EXPECT_EQ(link.reads, 4);
}

TEST_F(ProtocolTest, DataBlockIsReadOverItsHeader)
{
    link.queue({0, 's', 'd', 3, 0, 0, 0, 0, 0xAA, 0xBB, 0xCC});
    EXPECT_EQ(protocol.readScanReply(&length, buffer), SCAN_REPLY_SUCCESS);
    EXPECT_EQ(length, 3);
    EXPECT_EQ(buffer[0], 0xAA);
    EXPECT_EQ(buffer[2], 0xCC);
    EXPECT_TRUE(link.incoming.empty());
}

TEST_F(ProtocolTest, StatusHeadersMapThroughTheStatusTable)
{
    link.queue({0, 'S', 'S', 0, 0, 0, 0, 0});
    link.queue({0, 'S', 'S', 9, 0, 0, 0, 0});
    link.queue({0, 'S', 'S', 15, 2, 0, 0, 0});
    link.queue({0, 'S', 'S', 15, 15, 0, 0, 0});
    link.queue({0, 'X', 'd', 0, 0, 0, 0, 0});
    link.queue({0, 's', 'S', 0, 0, 0, 0, 0});
    const int expected[] = {104, 103, 108, 107, 111, 111};
    for (int result : expected) {
        EXPECT_EQ(protocol.readScanReply(&length, buffer), result);
        EXPECT_EQ(length, 0);
    }
    EXPECT_EQ(notices.traces[1], "SCANCMD_RESULT_STOPREQUESTED");
}

TEST_F(ProtocolTest, OverlongPayloadIsAProtocolFailureAndIsNotRead)
{
    link.queue({0, 's', 'd', 0x00, 0x08, 0, 0, 0});  // 2048 bytes
    link.queue({1, 2, 3});
    EXPECT_EQ(protocol.readScanReply(&length, buffer), SCAN_REPLY_BAD_HEADER);
    EXPECT_EQ(length, 0);
    EXPECT_EQ(link.incoming.size(), 3u);

    link.incoming.clear();
    link.queue({0, 's', 'd', 0xFF, 0x07, 0, 0, 0});  // 2047 bytes fit
    link.incoming.insert(link.incoming.end(), 2047, 0x11);
    EXPECT_EQ(protocol.readScanReply(&length, buffer), SCAN_REPLY_SUCCESS);
    EXPECT_EQ(length, 2047);
}

TEST_F(ProtocolTest, FailedPayloadIsAFailureNotAnEmptyBlock)
{
    link.queue({0, 's', 'd', 10, 0, 0, 0, 0, 1, 2});
    EXPECT_EQ(protocol.readScanReply(&length, buffer), SCAN_REPLY_BAD_HEADER);
    EXPECT_EQ(length, 0);

    link.incoming.clear();
    link.queue({0, 's', 'd', 10, 0, 0, 0, 0});
    link.failAtRead = link.reads + 2;  // the payload read times out
    EXPECT_EQ(protocol.readScanReply(&length, buffer), SCAN_REPLY_TIMEOUT);
    EXPECT_EQ(length, 0);
}

TEST_F(ProtocolTest, ATimeOutKeepsThePlaceInTheStream)
{
    // A silent device answers 102 at once; the caller decides how long to wait.
    link.failures = 1;
    link.queue({0, 'S', 'S', 0, 0, 0, 0, 0});
    EXPECT_EQ(protocol.readScanReply(&length, buffer), SCAN_REPLY_TIMEOUT);
    EXPECT_EQ(protocol.readScanReply(&length, buffer), 104);

    // In the middle of a block: the next call reads the rest of its payload,
    // not the payload as a header.
    link.queue({0, 's', 'd', 4, 0, 0, 0, 0});
    link.failAtRead = link.reads + 2;
    EXPECT_EQ(protocol.readScanReply(&length, buffer), SCAN_REPLY_TIMEOUT);
    link.queue({'a', 'b', 'c', 'd'});
    EXPECT_EQ(protocol.readScanReply(&length, buffer), SCAN_REPLY_SUCCESS);
    EXPECT_EQ(length, 4);
    EXPECT_EQ(buffer[3], 'd');

    link.failures = 1;
    link.failureError = kErrorDeviceNotConnected;
    EXPECT_EQ(protocol.readScanReply(&length, buffer), SCAN_REPLY_BAD_HEADER);
}

TEST_F(ProtocolTest, FeederStatusByDetailByte)
{
    struct Case {
        uint8_t detail;
        bool reportCovers;
        int result;
        std::vector<unsigned> shown;
    };
    const Case cases[] = {
        {0, true, 1, {}},
        {1, true, 0, {}},
        {2, false, kFeederQueryFailure, {IDS_MESSAGE_ADF_NOT_ATTACHED}},
        {3, false, kFeederQueryFailure, {IDS_MESSAGE_ADF_SCAN_UNIT_OPEN}},
        {4, true, kFeederQueryFailure, {IDS_MESSAGE_ADF_SCAN_COVER_OPEN}},
        {4, false, 1, {}},
        {5, true, kFeederQueryFailure, {IDS_MESSAGE_ADF_COVER_OPEN}},
        {5, false, kFeederQueryFailure, {}},
        {9, true, kFeederQueryFailure, {}},
    };
    for (const Case& c : cases) {
        notices.shown.clear();
        link.reply(0, c.detail);
        EXPECT_EQ(protocol.queryFeederStatus(c.reportCovers), c.result) << int(c.detail);
        EXPECT_EQ(notices.shown, c.shown) << int(c.detail);
    }
    EXPECT_EQ(link.opens, 9);
    EXPECT_EQ(link.closes, 9);
}

TEST_F(ProtocolTest, FeederQueryFailures)
{
    EXPECT_EQ(protocol.queryFeederStatus(true), SCAN_REPLY_BAD_HEADER);  // no reply
    EXPECT_EQ(notices.traced, (std::vector<unsigned>{IDS_ERROR_DISCONNECTION}));
    EXPECT_EQ(notices.tracedValues, (std::vector<int>{255}));

    // A refused query's detail byte is no feeder state, whatever it holds;
    // a warming scanner's is.
    link.reply(SCANCMD_RESULT_ILLEGAL_COMMAND, FEEDER_EMPTY);
    EXPECT_EQ(protocol.queryFeederStatus(true), kFeederQueryFailure);
    EXPECT_EQ(notices.traced.back(), static_cast<unsigned>(IDS_ERROR_QUERY_DOC_FEEDER));
    link.reply(SCANCMD_RESULT_SCANNER_NOT_LOCKED, FEEDER_LOADED);
    EXPECT_EQ(protocol.queryFeederStatus(true), kFeederQueryFailure);
    link.reply(SCANCMD_RESULT_WARMING, FEEDER_LOADED);
    EXPECT_EQ(protocol.queryFeederStatus(true), 0);
    link.closes = 1;

    link.openResult = SCAN_REPLY_IN_USE;
    link.closeResult = 0;
    EXPECT_EQ(protocol.queryFeederStatus(true), kFeederQueryFailure);
    EXPECT_EQ(link.closes, 2);  // the failed open is balanced too
    EXPECT_EQ(notices.traced.back(), static_cast<unsigned>(IDS_ERROR_CANT_CLOSE_CHANNEL));
}

TEST_F(ProtocolTest, FeederMissing)
{
    link.reply(0, 2);
    EXPECT_EQ(protocol.isFeederMissing(), 1);
    link.reply(3, 2);  // warming still reports the feeder
    EXPECT_EQ(protocol.isFeederMissing(), 1);
    link.reply(0, 1);
    EXPECT_EQ(protocol.isFeederMissing(), 0);
    link.reply(2, 2);
    EXPECT_EQ(protocol.isFeederMissing(), SCAN_REPLY_BAD_HEADER);
    EXPECT_EQ(notices.traced, (std::vector<unsigned>{IDS_ERROR_QUERY_DOC_FEEDER}));
    EXPECT_EQ(link.closes, 4);

    link.openResult = SCAN_REPLY_DEVICE_ERROR;
    EXPECT_EQ(protocol.isFeederMissing(), 1);
    EXPECT_EQ(link.closes, 5);
}
