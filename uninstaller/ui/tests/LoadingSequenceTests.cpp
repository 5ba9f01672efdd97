#include "FakePrinterSpooler.h"
#include "LoadingSequence.h"
#include "MemoryScriptStorage.h"
#include "resource.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

class FakeLister : public DirectoryLister {
public:
    std::map<std::string, std::vector<DirectoryMatch>> entries;
    std::vector<DirectoryMatch> FindMatches(const std::string& directory, const std::string&) override
    {
        auto found = entries.find(directory);
        return found == entries.end() ? std::vector<DirectoryMatch>{} : found->second;
    }
};

// Records the platform calls and the dialog's side in one log, in order.
class Recorder : public LoadingPlatform, public LoadingView {
public:
    bool administrator = true;
    bool spoolerStarts = true;
    bool answerYes = false;
    std::vector<std::string> log;
    std::vector<int> bar;
    std::vector<unsigned> errors;
    std::vector<std::string> listFailures;
    int ended = -1;

    bool IsAdministrator() override
    {
        log.push_back("rights");
        return administrator;
    }
    void ClosePackagePrograms() override { log.push_back("close"); }
    bool StopSpooler() override
    {
        log.push_back("stop");
        return true;
    }
    bool StartSpooler() override
    {
        log.push_back("start");
        return spoolerStarts;
    }
    void ShowBarPosition(int position) override { bar.push_back(position); }
    void ShowError(unsigned textId) override
    {
        errors.push_back(textId);
        log.push_back("error " + std::to_string(textId));
    }
    void ShowNoScriptsWarning() override { log.push_back("no scripts"); }
    void ShowPrinterListFailure(const std::string& details) override
    {
        listFailures.push_back(details);
        log.push_back("list failure");
    }
    bool AskInterrupt() override
    {
        log.push_back("ask 202");
        return answerYes;
    }
    void StartTimer(unsigned periodMs) override { log.push_back("timer " + std::to_string(periodMs)); }
    void StopTimer() override { log.push_back("kill timer"); }
    void End(int result) override
    {
        ended = result;
        log.push_back("end " + std::to_string(result));
    }
};

const char kScript[] =
    "[UnPrinterDrivers]\n"
    "Drv A,A,1\n"
    "Veneer,V,2\n"
    "[A.Files]\na.dll\n"
    "[V.Files]\nVENEER32.EXE\n";

struct Fixture {
    UninstallDatabase database{3};
    FakeLister lister;
    MemoryScriptStorage storage;
    FakeSpooler spooler;
    Recorder recorder;

    Fixture()
    {
        lister.entries["C:\\drivers\\"] = {{"Xunz___Z.unm", 0x20}};
        storage.files["C:\\drivers\\Xunz___Z.unm"] = kScript;
        spooler.printers = {Ours("Office", "Drv A")};
    }

    LoadingSequence Make(int platformClass, PrinterFilter filter = {})
    {
        OsInfo os;
        os.platformClass = platformClass;
        return LoadingSequence(database, os, filter,
                               {{"C:\\drivers\\"}, lister, storage, spooler, "C:\\drivers\\Xunz___Z.unr"}, recorder,
                               recorder);
    }
};

int RunToEnd(LoadingSequence& sequence)
{
    int ticks = 0;
    while (!sequence.Finished() && ticks < 100) {
        sequence.Tick();
        ++ticks;
    }
    return ticks;
}

std::vector<std::string> Without(std::vector<std::string> log, const std::string& entry)
{
    std::erase(log, entry);
    return log;
}

}  // namespace

TEST(LoadingSequence, NtFamilyRunsTheStepsInOrderAndEndsWith1)
{
    Fixture f;
    LoadingSequence sequence = f.Make(3);
    sequence.Start();
    // Steps 0-2, eight waiting ticks, step 4, three waiting ticks, steps 6-10.
    EXPECT_EQ(RunToEnd(sequence), 3 + 8 + 1 + 3 + 5);
    EXPECT_THAT(f.recorder.log,
                ElementsAre("timer 400", "rights", "close", "stop", "start", "close", "kill timer", "end 1"));
    EXPECT_EQ(sequence.Result(), 1);
    EXPECT_EQ(sequence.OfferedPrinters(), 1);
    EXPECT_EQ(f.database.Printers().size(), 1u);
    EXPECT_TRUE(f.database.SelectedSet().Contains(ItemList::Files, "a.dll"));
    // Without UNVEN the masking tool's items leave the selected set.
    EXPECT_FALSE(f.database.SelectedSet().Contains(ItemList::Files, "VENEER32.EXE"));
}

TEST(LoadingSequence, BarPositionsFollowTheSteps)
{
    Fixture f;
    LoadingSequence sequence = f.Make(3);
    sequence.Start();
    RunToEnd(sequence);
    std::vector<int> expected = {1};
    int position = 1;
    for (int tick = 0; tick < 3 + 8 + 1 + 3; ++tick) {
        expected.push_back(position += 2);
        expected.push_back(position += 2);
    }
    // Step 6: one step, then 20 with the step 10 / one script, then one step.
    expected.push_back(position + 2);
    expected.push_back(20);
    expected.push_back(30);
    expected.insert(expected.end(), {40, 50, 60, 70, 80, 90});
    // Step 10 first steps past 99, which starts over, then sets 95.
    expected.push_back(1);
    expected.push_back(95);
    EXPECT_EQ(f.recorder.bar, expected);
}

TEST(LoadingSequence, ConsumerAndOldestWindowsSkipRightsAndSpooler)
{
    for (int platformClass : {1, 2}) {
        Fixture f;
        f.recorder.administrator = false;
        f.recorder.spoolerStarts = false;
        LoadingSequence sequence = f.Make(platformClass);
        sequence.Start();
        RunToEnd(sequence);
        EXPECT_THAT(f.recorder.log, ElementsAre("timer 400", "close", "close", "kill timer", "end 1"))
            << platformClass;
    }
}

TEST(LoadingSequence, EveryErrorTextEndsTheDialogWith0)
{
    struct Case {
        const char* what;
        unsigned text;
    } cases[] = {{"no rights", IDS_NO_ADMIN_RIGHTS},
                 {"spooler does not start", IDS_SPOOLER_UNSTABLE},
                 {"spooler does not answer", IDS_SPOOLER_NOT_ANSWERING}};
    for (const Case& c : cases) {
        Fixture f;
        f.recorder.administrator = c.text != IDS_NO_ADMIN_RIGHTS;
        f.recorder.spoolerStarts = c.text != IDS_SPOOLER_UNSTABLE;
        if (c.text == IDS_SPOOLER_NOT_ANSWERING)
            f.spooler.firstCallError = kRpcServerUnavailable;
        LoadingSequence sequence = f.Make(3);
        sequence.Start();
        RunToEnd(sequence);
        EXPECT_THAT(f.recorder.errors, ElementsAre(c.text)) << c.what;
        EXPECT_EQ(f.recorder.ended, 0) << c.what;
        // A spooler that did not start is tried once more before the end.
        std::vector<std::string> tail = {"kill timer", "error " + std::to_string(c.text), "end 0"};
        if (c.text == IDS_SPOOLER_UNSTABLE)
            tail.insert(tail.end() - 1, "start");
        ASSERT_GE(f.recorder.log.size(), tail.size());
        EXPECT_EQ(std::vector<std::string>(f.recorder.log.end() - static_cast<long>(tail.size()), f.recorder.log.end()),
                  tail)
            << c.what;
        // A late tick does nothing more.
        sequence.Tick();
        EXPECT_EQ(f.recorder.log.back(), "end 0");
    }
}

TEST(LoadingSequence, NoScriptsWarnsAndGoesOnWithStep10)
{
    Fixture f;
    f.lister.entries.clear();
    LoadingSequence sequence = f.Make(3);
    sequence.Start();
    RunToEnd(sequence);
    EXPECT_EQ(std::count(f.recorder.log.begin(), f.recorder.log.end(), "no scripts"), 1);
    EXPECT_EQ(sequence.Result(), 1);
    // 20 then one step of 10.
    auto twenty = std::find(f.recorder.bar.begin(), f.recorder.bar.end(), 20);
    ASSERT_NE(twenty, f.recorder.bar.end());
    EXPECT_EQ(*(twenty + 1), 30);
}

TEST(LoadingSequence, AnEmptyListRetriesOnceFromStep1WithoutWaitingAgain)
{
    Fixture f;
    f.spooler.printers.clear();
    LoadingSequence sequence = f.Make(3);
    sequence.Start();
    // The retry: steps 1 and 2, one tick each for the two waits (their
    // counters are full already), step 4, steps 6-9, then step 10.
    EXPECT_EQ(RunToEnd(sequence), 19 + 10);
    EXPECT_THAT(Without(f.recorder.log, "kill timer"),
                ElementsAre("timer 400", "rights", "close", "stop", "start", "close", "stop", "start", "close",
                            "end 1"));
    EXPECT_EQ(sequence.Result(), 1);
    // The bar went back to 5 after the first list came out empty.
    EXPECT_NE(std::find(f.recorder.bar.begin(), f.recorder.bar.end(), 5), f.recorder.bar.end());
    EXPECT_EQ(sequence.OfferedPrinters(), 0);
}

// A list the spooler could not give is no empty machine: one retry, and
// when that fails too the loading names the call and nothing is removed.
TEST(LoadingSequence, APrinterListThatCannotBeReadEndsTheLoadingAfterTheRetry)
{
    const char* const functions[] = {"_alloca", "EnumPrinters", "GetPrinter"};
    for (int which = 0; which < 3; ++which) {
        for (int failingListings : {1, 2}) {
            Fixture f;
            FakePrinter unreadable = Ours("Lab", "Drv A");
            unreadable.level2Readable = which != 2;
            f.spooler.printers = {Ours("Office", "Drv A"), unreadable};
            f.spooler.bufferAvailable = which != 0;
            f.spooler.secondCallFails = which == 1;
            f.spooler.failingListings = failingListings;
            LoadingSequence sequence = f.Make(3);
            sequence.Start();
            RunToEnd(sequence);
            SCOPED_TRACE(std::string(functions[which]) + " failing " + std::to_string(failingListings) + " time(s)");
            const bool retryReads = failingListings == 1;
            EXPECT_EQ(f.recorder.ended, retryReads ? 1 : 0);
            EXPECT_EQ(f.database.Printers().size(), retryReads ? 2u : 0u);
            ASSERT_EQ(f.recorder.listFailures.size(), retryReads ? 0u : 1u);
            if (!retryReads) {
                EXPECT_EQ(f.recorder.listFailures[0].rfind(std::string(functions[which]) + ": ", 0), 0u);
            }
        }
    }
}

// Cancel, Yes while the spooler is stopped: it is started before the end.
TEST(LoadingSequence, InterruptingWhileTheSpoolerIsStoppedStartsItFirst)
{
    Fixture f;
    f.recorder.answerYes = true;
    LoadingSequence sequence = f.Make(3);
    sequence.Start();
    for (int step = 0; step < 3; ++step)
        sequence.Tick();
    sequence.OnCancel();
    EXPECT_THAT(Without(f.recorder.log, "kill timer"),
                ElementsAre("timer 400", "rights", "close", "stop", "ask 202", "start", "end 0"));
}

// A removal recorded and not finished is taken up, even with its scripts
// gone: only its printers are offered, and the missing scripts are no news.
TEST(LoadingSequence, AnUnfinishedRemovalIsTakenUp)
{
    Fixture f;
    f.lister.entries.clear();
    f.spooler.printers = {Ours("Office", "Drv A"), Ours("Lab", "Drv A")};
    RemovalRecord record;
    record.printers = {"Lab"};
    record.plan.AddItem(ItemList::Files, "a.dll");
    f.storage.files["C:\\drivers\\Xunz___Z.unr"] = FormatRemovalRecord(record);
    LoadingSequence sequence = f.Make(3);
    sequence.Start();
    RunToEnd(sequence);
    EXPECT_EQ(std::count(f.recorder.log.begin(), f.recorder.log.end(), "no scripts"), 0);
    EXPECT_EQ(sequence.OfferedPrinters(), 1);
    EXPECT_TRUE(f.database.Printers()[0].keep);
    ASSERT_TRUE(f.database.UnfinishedRemoval().has_value());
    f.database.BuildRemovalPlan();
    EXPECT_TRUE(f.database.RemovalPlan().Contains(ItemList::Files, "a.dll"));
}

TEST(LoadingSequence, CancelAsksText202)
{
    Fixture f;
    LoadingSequence sequence = f.Make(3);
    sequence.Start();
    sequence.Tick();
    sequence.OnCancel();  // No: the timer comes back faster
    EXPECT_THAT(std::vector<std::string>(f.recorder.log.end() - 3, f.recorder.log.end()),
                ElementsAre("kill timer", "ask 202", "timer 200"));
    EXPECT_FALSE(sequence.Finished());
    f.recorder.answerYes = true;
    sequence.OnCancel();
    EXPECT_TRUE(sequence.Finished());
    EXPECT_EQ(f.recorder.ended, 0);
}

TEST(LoadingSequence, UnvenMakesTheMaskingToolsProfileTheSelectedSet)
{
    Fixture f;
    FakePrinter masked = Theirs("Office (masked)", "Veneer Drv");
    masked.maskedBaseName = "Office";
    f.spooler.printers.push_back(masked);
    PrinterFilter filter;
    filter.includeMaskingTool = true;
    LoadingSequence sequence = f.Make(3, filter);
    sequence.Start();
    RunToEnd(sequence);
    EXPECT_THAT(f.database.SelectedSet().Items(ItemList::Files), ElementsAre("VENEER32.EXE"));
    EXPECT_EQ(sequence.OfferedPrinters(), 1);
    EXPECT_FALSE(f.database.Printers()[1].keep);
    EXPECT_TRUE(f.database.Printers()[0].keep);
}
