#include <gtest/gtest.h>

#include "MessagePump.h"

namespace {

// A queue on a clock that moves only while messages are handled or waited for.
class ScriptedQueue : public MessageQueue {
public:
    ScriptedQueue(long long& now, int waiting, int quitAfter) : now_(now), waiting_(waiting), quitAfter_(quitAfter) {}

    int dispatched = 0;

    Dispatch DispatchWaiting() override
    {
        if (dispatched == quitAfter_) {
            return Dispatch::Quit;
        }
        if (waiting_ == 0 || dispatched == kStreamEnd) {
            return Dispatch::None;
        }
        if (waiting_ > 0) {
            --waiting_;
        }
        ++dispatched;
        ++now_;  // storing a datagram takes a millisecond
        return Dispatch::One;
    }
    void WaitForMessages(int milliseconds) override { now_ += milliseconds; }

    static constexpr int kEndless = -1;
    // A stream that never ends would hang a pump without a deadline; this
    // one dries up after an hour's worth of datagrams.
    static constexpr int kStreamEnd = 3'600'000;

private:
    long long& now_;
    int waiting_;
    int quitAfter_;
};

class StepClock : public SearchClock {
public:
    long long now = 50'000;
    long long NowMilliseconds() override { return now; }
    void Sleep(int milliseconds) override { now += milliseconds; }
};

TEST(MessagePump, EndsAtItsDeadlineWhateverArrives)
{
    struct Case {
        const char* name;
        int waiting;
        int quitAfter;
        int milliseconds;
        int finishedAfter;
        PumpEnd end;
        long long elapsed;
        int dispatched;
    };
    const Case cases[] = {
        {"a steady stream of datagrams", ScriptedQueue::kEndless, -1, 1000, -1, PumpEnd::Deadline, 1000, 1000},
        {"a quiet queue", 0, -1, 1000, -1, PumpEnd::Deadline, 1000, 0},
        {"three datagrams, then quiet", 3, -1, 1000, -1, PumpEnd::Deadline, 1000, 3},
        {"zero milliseconds take one waiting message", ScriptedQueue::kEndless, -1, 0, -1, PumpEnd::Deadline, 1, 1},
        {"a request to end the program", ScriptedQueue::kEndless, 5, 1000, -1, PumpEnd::Quit, 5, 5},
        {"the awaited answer", ScriptedQueue::kEndless, -1, 1000, 7, PumpEnd::Finished, 7, 7},
    };
    for (const Case& c : cases) {
        StepClock clock;
        ScriptedQueue queue(clock.now, c.waiting, c.quitAfter);
        const long long start = clock.now;
        const auto finished = [&] { return c.finishedAfter >= 0 && queue.dispatched >= c.finishedAfter; };
        EXPECT_EQ(PumpMessages(queue, clock, c.milliseconds, finished), c.end) << c.name;
        EXPECT_EQ(clock.now - start, c.elapsed) << c.name;
        EXPECT_EQ(queue.dispatched, c.dispatched) << c.name;
    }
}

}  // namespace
