#include "FakeToolAndRestart.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

RestartFacts Facts(int platformClass, int versionCode) { return {platformClass, versionCode}; }

}  // namespace

TEST(RestartHandling, SpoolerPhasesByPlatformAndVersion)
{
    struct Case {
        int platformClass;
        int versionCode;
        std::vector<std::string> stopCalls;
        bool restartNeeded;
        std::vector<std::string> startCalls;
    } cases[] = {
        {1, 1, {}, false, {}},
        {2, 2, {"close consumer spooler"}, true, {}},
        {2, 3, {}, true, {}},
        {2, 7, {}, true, {}},
        {2, 0, {}, true, {}},
        {3, 4, {"stop"}, false, {"start"}},
        {3, 5, {"stop"}, false, {"start"}},
        {3, 6, {"stop"}, false, {"start"}},
        {3, 8, {"stop"}, false, {"start"}},
    };
    for (const Case& c : cases) {
        fake::Restart platform;
        EXPECT_EQ(RunSpoolerStopPhase(Facts(c.platformClass, c.versionCode), false, platform), c.restartNeeded)
            << c.platformClass << "/" << c.versionCode;
        EXPECT_EQ(platform.calls, c.stopCalls) << c.platformClass << "/" << c.versionCode;
        platform.calls.clear();
        EXPECT_EQ(RunSpoolerStartPhase(Facts(c.platformClass, c.versionCode), platform, 0), SpoolerStart::Done);
        EXPECT_EQ(platform.calls, c.startCalls) << c.platformClass << "/" << c.versionCode;
    }
    // A restart needed before stays needed.
    fake::Restart platform;
    EXPECT_TRUE(RunSpoolerStopPhase(Facts(3, 6), true, platform));
}

// Phase 16 starts the spooler once the stop of phase 8 has completed, or
// when waiting longer is no use.
TEST(RestartHandling, TheSpoolerStartWaitsForAPendingStop)
{
    fake::Restart platform;
    platform.stopPendingQueries = 2;
    int ticks = 0;
    while (RunSpoolerStartPhase(Facts(3, 6), platform, ticks) == SpoolerStart::Waiting)
        ++ticks;
    EXPECT_EQ(ticks, 2);
    EXPECT_THAT(platform.calls, ElementsAre("start"));

    fake::Restart stuck;
    stuck.stopPendingQueries = 1000;
    EXPECT_EQ(RunSpoolerStartPhase(Facts(3, 6), stuck, kSpoolerStopWaitTicks - 1), SpoolerStart::Waiting);
    EXPECT_EQ(RunSpoolerStartPhase(Facts(3, 6), stuck, kSpoolerStopWaitTicks), SpoolerStart::Done);
    EXPECT_THAT(stuck.calls, ElementsAre("start"));
}

TEST(RestartHandling, EndOfRemovalMessages)
{
    struct Case {
        const char* what;
        RestartFacts facts;
        bool restartNeeded;
        bool scannerPending;
        bool yes;
        bool restartWorks;
        std::vector<std::string> calls;
    } cases[] = {
        {"NT family, deletions at restart", {3, 6}, true, false, true, true, {"199"}},
        {"NT family", {3, 5}, false, false, true, true, {"199"}},
        {"oldest subset", {1, 1}, true, false, true, true, {"199"}},
        {"consumer, nothing scheduled", {2, 3}, false, false, true, true, {"199"}},
        {"consumer, No", {2, 3}, true, false, false, true, {"200"}},
        {"consumer 95, Yes", {2, 2}, true, false, true, true, {"200", "restart"}},
        {"consumer 98, Yes", {2, 3}, true, false, true, true, {"200", "restart"}},
        {"consumer Me, Yes", {2, 7}, true, false, true, true, {"200", "restart"}},
        {"consumer other minor, Yes", {2, 0}, true, false, true, true, {"200", "privileged restart"}},
        {"consumer, refused", {2, 3}, true, false, true, false, {"200", "restart", "201"}},
        {"scanner uninstall pending", {2, 3}, true, true, true, true, {}},
        {"scanner uninstall pending, NT", {3, 6}, false, true, true, true, {}},
    };
    for (const Case& c : cases) {
        fake::Restart platform;
        platform.answerYes = c.yes;
        platform.restartWorks = c.restartWorks;
        FinishRemovalMessages(c.facts, c.restartNeeded, c.scannerPending, platform);
        EXPECT_EQ(platform.calls, c.calls) << c.what;
    }
}

TEST(RestartHandling, AfterAFailedScannerUninstallStart)
{
    struct Case {
        RestartFacts facts;
        bool restartNeeded;
        bool restartWorks;
        std::vector<std::string> calls;
    } cases[] = {
        {{3, 6}, true, true, {}},
        {{2, 3}, false, true, {}},
        {{2, 7}, true, true, {"200", "restart"}},
        {{2, 0}, true, true, {"200", "privileged restart"}},
        {{2, 3}, true, false, {"200", "restart"}},  // no failure text here
    };
    for (const Case& c : cases) {
        fake::Restart platform;
        platform.answerYes = true;
        platform.restartWorks = c.restartWorks;
        AskRestartAfterScannerUninstallFailed(c.facts, c.restartNeeded, platform);
        EXPECT_EQ(platform.calls, c.calls) << c.facts.platformClass << "/" << c.facts.versionCode;
    }
}

TEST(MaskingToolStep, FindsTheToolThroughTheOemPaths)
{
    fake::MaskingTool platform;
    platform.directories = {"", "C:\\First", "C:\\Second\\"};
    MaskingToolStep step(platform, 3);
    EXPECT_EQ(step.FindTool(), "");
    platform.files = {"C:\\Second\\VENEER32.EXE", "C:\\First\\VENEER.EXE"};
    // The 32-bit tool wins wherever it is.
    EXPECT_EQ(step.FindTool(), "C:\\Second\\VENEER32.EXE");
    platform.files = {"C:\\Second\\VENEER.EXE", "C:\\First\\VENEER.EXE"};
    EXPECT_EQ(step.FindTool(), "C:\\First\\VENEER.EXE");
}

TEST(MaskingToolStep, StartsWithSlashDAndWaitsForTheExitCode)
{
    fake::MaskingTool platform;
    platform.directories = {"C:\\Tool"};
    platform.files = {"C:\\Tool\\VENEER32.EXE"};
    platform.activeChecks = 2;
    MaskingToolStep step(platform, 3);
    EXPECT_EQ(step.Run(true), MaskingToolState::Running);
    EXPECT_THAT(platform.started, ElementsAre("C:\\Tool\\VENEER32.EXE /d"));
    EXPECT_EQ(step.Run(true), MaskingToolState::Running);
    EXPECT_EQ(step.Run(true), MaskingToolState::Running);
    EXPECT_EQ(step.Run(true), MaskingToolState::Finished);
    EXPECT_THAT(platform.released, ElementsAre(42u));
    EXPECT_EQ(platform.started.size(), 1u);
}

TEST(MaskingToolStep, WhenNothingIsToBeDone)
{
    struct Case {
        const char* what;
        bool planDeletesTool;
        bool toolPresent;
        bool starts;
        int platformClass;
        MaskingToolState first;
    } cases[] = {
        {"tool kept", false, true, true, 3, MaskingToolState::Finished},
        {"tool not found", true, false, true, 3, MaskingToolState::Finished},
        {"start fails", true, true, false, 3, MaskingToolState::Finished},
        {"start fails on the oldest subset", true, true, false, 1, MaskingToolState::Running},
    };
    for (const Case& c : cases) {
        fake::MaskingTool platform;
        platform.directories = {"C:\\Tool"};
        if (c.toolPresent)
            platform.files = {"C:\\Tool\\VENEER32.EXE"};
        platform.starts = c.starts;
        MaskingToolStep step(platform, c.platformClass);
        EXPECT_EQ(step.Run(c.planDeletesTool), c.first) << c.what;
        EXPECT_THAT(platform.released, IsEmpty()) << c.what;
    }
}

TEST(MaskingToolStep, TheOldestSubsetWaitsForTheVeneerDialog)
{
    fake::MaskingTool platform;
    platform.directories = {"C:\\Tool"};
    platform.files = {"C:\\Tool\\VENEER.EXE"};
    platform.starts = false;  // as if it ran
    platform.dialog = true;
    MaskingToolStep step(platform, 1);
    EXPECT_EQ(step.Run(true), MaskingToolState::Running);
    EXPECT_EQ(step.Run(true), MaskingToolState::Running);
    platform.dialog = false;
    EXPECT_EQ(step.Run(true), MaskingToolState::Finished);
    // Not started again: a start that fails every time cannot hold the phase.
    EXPECT_EQ(platform.started.size(), 1u);
}
