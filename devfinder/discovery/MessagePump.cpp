#include "MessagePump.h"

#include "Stopwatch.h"

PumpEnd PumpMessages(MessageQueue& queue, SearchClock& clock, int milliseconds, const std::function<bool()>& finished)
{
    Stopwatch stopwatch(clock);
    for (;;) {
        if (finished && finished()) {
            return PumpEnd::Finished;
        }
        const MessageQueue::Dispatch dispatched = queue.DispatchWaiting();
        if (dispatched == MessageQueue::Dispatch::Quit) {
            return PumpEnd::Quit;
        }
        const long long left = milliseconds - stopwatch.ElapsedMilliseconds();
        if (left <= 0) {
            return finished && finished() ? PumpEnd::Finished : PumpEnd::Deadline;
        }
        if (dispatched == MessageQueue::Dispatch::None) {
            queue.WaitForMessages(static_cast<int>(left));
        }
    }
}
