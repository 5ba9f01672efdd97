#include <gtest/gtest.h>

#include <string>

#include "ConditionTexts.h"
#include "DebugTrace.h"

namespace {
std::string lastTrace;
void recordTrace(const char* text) { lastTrace = text; }
}

TEST(ConditionTexts, KnownAndUnknownCodes)
{
    EXPECT_STREQ(conditionText(TWCC_SEQERROR), "DG DAT MSG is out of expected sequence.");
    EXPECT_STREQ(conditionText(TWCC_CHECKDEVICEONLINE), "Device is disconnected or not turned on");
    EXPECT_STREQ(conditionText(TWCC_CAPUNSUPPORTED), "Unknown Error value in condition code.");
}

TEST(ConditionTexts, TraceJoinsOperationAndConditionWithinTheBuffer)
{
    setDebugTraceObserver(recordTrace);
    TraceFailure("General failure in response to MSG_OPENDS.  ", TWCC_SEQERROR);
    setDebugTraceObserver(nullptr);
    EXPECT_EQ(lastTrace, "General failure in response to MSG_OPENDS.  DG DAT MSG is out of expected sequence.");

    std::string longOperation(300, 'x');
    char out[180];
    formatFailureTrace(longOperation.c_str(), TWCC_BUMMER, out, sizeof out);
    EXPECT_EQ(std::string(out), std::string(179, 'x'));
}
