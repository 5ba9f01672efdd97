#include "DeviceFakes.h"
#include "StringIds.h"
#include "ScannerLock.h"

#include <gtest/gtest.h>

namespace {

// Every pump of the dialog lets a quarter second pass; the test may press
// Cancel at a chosen pump.
class FakeLampView : public LampWarmingView, public SecondsClock {
public:
    explicit FakeLampView(volatile int& cancel) : cancel_(cancel) {}
    void open(unsigned id) override { openedWith.push_back(id); }
    void pumpMessages() override
    {
        ++pumps;
        quarterSeconds += 1;
        if (pumps == jumpBackAtPump)
            quarterSeconds -= 4 * 3600;
        // A wait that would never end is cut short here.
        if (pumps == cancelAtPump || pumps == 10000)
            cancel_ = 1;
    }
    void close() override { ++closes; }
    int64_t nowSeconds() override { return 1000 + quarterSeconds / 4; }

    std::vector<unsigned> openedWith;
    int pumps = 0;
    int closes = 0;
    int cancelAtPump = -1;
    int jumpBackAtPump = -1;
    int64_t quarterSeconds = 0;

private:
    volatile int& cancel_;
};

struct LockTest : ::testing::Test {
    ScriptedLink link;
    RecordingNotices notices;
    ScannerProtocol protocol{link, notices};
    volatile int cancel = 0;
    FakeLampView view{cancel};

    LockOutcome lock(bool feederChecked = false)
    {
        return lockScannerWithWarmingWait(protocol, view, view, cancel, feederChecked);
    }
    size_t lockCommandsSent() const { return link.written.size(); }
};

}  // namespace

TEST_F(LockTest, LocksAtOnce)
{
    link.reply(0);
    EXPECT_EQ(lock(), LockOutcome::locked);
    EXPECT_TRUE(view.openedWith.empty());
    EXPECT_FALSE(lockOutcomeNeedsUnlock(LockOutcome::locked));
}

TEST_F(LockTest, WaitsForTheLampRetryingOncePerSecond)
{
    link.reply(3);
    link.reply(3);  // first retry, right after the dialog opened
    link.reply(3);
    link.reply(3);
    link.reply(0);
    EXPECT_EQ(lock(), LockOutcome::locked);
    EXPECT_EQ(view.openedWith, (std::vector<unsigned>{IDS_ERROR_SCANNER_WARMING}));
    EXPECT_EQ(lockCommandsSent(), 5u);
    // Retries at the first pump, then each time the clock's second changes.
    EXPECT_EQ(view.pumps, 12);
    EXPECT_EQ(view.closes, 1);
    EXPECT_EQ(cancel, 0);
}

TEST_F(LockTest, CancelEndsTheWaitWithoutUnlocking)
{
    link.reply(2, 9);
    for (int i = 0; i < 20; ++i)
        link.reply(2, 9);
    view.cancelAtPump = 10;
    EXPECT_EQ(lock(), LockOutcome::cancelled);
    EXPECT_FALSE(lockOutcomeNeedsUnlock(LockOutcome::cancelled));
    EXPECT_EQ(view.openedWith, (std::vector<unsigned>{IDS_ERROR_SCANNER_NOT_LOCKED}));
    EXPECT_EQ(view.pumps, 10);
    EXPECT_EQ(view.closes, 1);
}

TEST_F(LockTest, DialogTextForARefusedLock)
{
    EXPECT_EQ(lampWarmingMessageId(3, 4, false), static_cast<unsigned>(IDS_ERROR_SCANNER_WARMING));
    EXPECT_EQ(lampWarmingMessageId(2, 2, false), static_cast<unsigned>(IDS_MESSAGE_ADF_NOT_ATTACHED));
    EXPECT_EQ(lampWarmingMessageId(2, 3, false), static_cast<unsigned>(IDS_MESSAGE_ADF_SCAN_UNIT_OPEN));
    EXPECT_EQ(lampWarmingMessageId(2, 4, true), static_cast<unsigned>(IDS_MESSAGE_ADF_SCAN_COVER_OPEN));
    EXPECT_EQ(lampWarmingMessageId(2, 4, false), static_cast<unsigned>(IDS_ERROR_SCANNER_NOT_LOCKED));
    EXPECT_EQ(lampWarmingMessageId(2, 5, false), static_cast<unsigned>(IDS_MESSAGE_ADF_COVER_OPEN));
    EXPECT_EQ(lampWarmingMessageId(2, 0, true), static_cast<unsigned>(IDS_ERROR_SCANNER_NOT_LOCKED));
}

TEST_F(LockTest, RefusalsTheUserCannotWaitOut)
{
    link.reply(15);
    EXPECT_EQ(lock(), LockOutcome::refusedJam);
    EXPECT_EQ(notices.shown, (std::vector<unsigned>{IDS_ERROR_ADF_JAM}));
    EXPECT_EQ(cancel, 1);
    EXPECT_TRUE(lockOutcomeNeedsUnlock(LockOutcome::refusedJam));

    cancel = 0;
    notices.shown.clear();
    EXPECT_EQ(lock(), LockOutcome::transportFailure);  // no reply at all
    EXPECT_EQ(notices.shown, (std::vector<unsigned>{IDS_ERROR_DISCONNECTION}));
    EXPECT_EQ(cancel, 1);
    EXPECT_FALSE(lockOutcomeNeedsUnlock(LockOutcome::transportFailure));

    cancel = 0;
    notices.shown.clear();
    link.reply(4);
    EXPECT_EQ(lock(), LockOutcome::refusedOther);
    EXPECT_EQ(notices.shown, (std::vector<unsigned>{IDS_ERROR_UNKNOWN_SCANNER_LOCKING_FAILURE}));
    EXPECT_EQ(cancel, 1);
    EXPECT_TRUE(view.openedWith.empty());
}

TEST_F(LockTest, TheWaitEndsAfterTwoMinutes)
{
    struct Case {
        int refusal;  // 255: no reply at all
        LockOutcome outcome;
        unsigned message;
    } cases[] = {
        {3, LockOutcome::refusedOther, IDS_ERROR_UNKNOWN_SCANNER_LOCKING_FAILURE},
        {255, LockOutcome::transportFailure, IDS_ERROR_DISCONNECTION},
    };
    for (const Case& c : cases) {
        link = ScriptedLink{};
        view.quarterSeconds = 0;
        view.pumps = 0;
        cancel = 0;
        notices.shown.clear();
        link.reply(3);
        if (c.refusal != 255)
            for (int i = 0; i < 200; ++i)
                link.reply(static_cast<uint8_t>(c.refusal));
        EXPECT_EQ(lock(), c.outcome);
        EXPECT_EQ(notices.shown, std::vector<unsigned>{c.message});
        EXPECT_EQ(view.quarterSeconds / 4, kLockWaitLimitSeconds);
        EXPECT_EQ(cancel, 1);
        // Every exchange that failed on the link is followed by a purge, so
        // the next attempt is not read out of its remains.
        EXPECT_EQ(link.purges, c.refusal == 255 ? static_cast<int>(lockCommandsSent()) - 1 : 0);
    }
}

TEST_F(LockTest, SettingTheClockBackDoesNotStopTheRetries)
{
    link.reply(3);
    for (int i = 0; i < 8; ++i)
        link.reply(3);
    link.reply(0);
    view.jumpBackAtPump = 6;
    EXPECT_EQ(lock(), LockOutcome::locked);
    EXPECT_EQ(lockCommandsSent(), 10u);
}
