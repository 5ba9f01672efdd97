#include <gtest/gtest.h>

#include "MessagePump.h"

namespace {

// Messages on a clock that moves only while they are handled or waited for.
class ScriptedQueue : public MessageQueue, public SearchClock {
public:
    static constexpr int kEndless = -1;
    ScriptedQueue(int waiting, int quitAfter) : waiting_(waiting), quitAfter_(quitAfter) {}

    long long now = 50'000;
    int dispatched = 0;

    Dispatch DispatchWaiting() override
    {
        if (dispatched == quitAfter_) return Dispatch::Quit;
        // A stream that never ends would hang a pump without a deadline;
        // this one dries up after an hour's worth of datagrams.
        if (waiting_ == 0 || dispatched == 3'600'000) return Dispatch::None;
        waiting_ -= waiting_ > 0;
        ++dispatched;
        ++now;  // storing a datagram takes a millisecond
        return Dispatch::One;
    }
    void WaitForMessages(int milliseconds) override { now += milliseconds; }
    long long NowMilliseconds() override { return now; }
    void Sleep(int milliseconds) override { now += milliseconds; }

private:
    int waiting_;
    int quitAfter_;
};

TEST(MessagePump, EndsAtItsDeadlineWhateverArrives)
{
    const struct {
        const char* name;
        int waiting, quitAfter, milliseconds, finishedAfter;
        PumpEnd end;
        int elapsed, dispatched;
    } cases[] = {
        {"a steady stream of datagrams", ScriptedQueue::kEndless, -1, 1000, -1, PumpEnd::Deadline, 1000, 1000},
        {"a quiet queue", 0, -1, 1000, -1, PumpEnd::Deadline, 1000, 0},
        {"three datagrams, then quiet", 3, -1, 1000, -1, PumpEnd::Deadline, 1000, 3},
        {"zero milliseconds take one waiting message", ScriptedQueue::kEndless, -1, 0, -1, PumpEnd::Deadline, 1, 1},
        {"a request to end the program", ScriptedQueue::kEndless, 5, 1000, -1, PumpEnd::Quit, 5, 5},
        {"the awaited answer", ScriptedQueue::kEndless, -1, 1000, 7, PumpEnd::Finished, 7, 7},
    };
    for (const auto& c : cases) {
        ScriptedQueue queue(c.waiting, c.quitAfter);
        const auto finished = [&] { return c.finishedAfter >= 0 && queue.dispatched >= c.finishedAfter; };
        EXPECT_EQ(PumpMessages(queue, queue, c.milliseconds, finished), c.end) << c.name;
        EXPECT_EQ(queue.now - 50'000, c.elapsed) << c.name;
        EXPECT_EQ(queue.dispatched, c.dispatched) << c.name;
    }
}

}  // namespace
