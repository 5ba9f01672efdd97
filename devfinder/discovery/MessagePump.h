#pragma once
// Dispatching window messages for a while, written against a queue and a
// clock so that its deadline can be tested without a window. The socket
// notifications are among the messages: replies are stored while it runs.
#include <functional>

#include "SearchPorts.h"

class MessageQueue {
public:
    enum class Dispatch { One, None, Quit };

    virtual ~MessageQueue() = default;
    // Dispatches one waiting message, if there is one. Quit: the program is
    // asked to end, and the request is left for the modal loop.
    virtual Dispatch DispatchWaiting() = 0;
    // Returns when a message may be waiting, or after `milliseconds`.
    virtual void WaitForMessages(int milliseconds) = 0;
};

enum class PumpEnd { Deadline, Finished, Quit };

// Dispatches messages for `milliseconds`, or until `finished` says so. The
// clock is read after every message, so a steady stream of datagrams
// cannot hold the pump past its deadline; with 0 milliseconds it
// dispatches at most one waiting message.
PumpEnd PumpMessages(MessageQueue& queue, SearchClock& clock, int milliseconds,
                     const std::function<bool()>& finished = {});
