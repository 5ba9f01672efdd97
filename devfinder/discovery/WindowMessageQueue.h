#pragma once
// The thread's window messages as the pump sees them, and the clock of the
// selector window, whose waiting dispatches messages so that the window
// answers throughout a search.
#include <windows.h>

#include "MessagePump.h"
#include "SystemClock.h"

class WindowMessageQueue : public MessageQueue {
public:
    // A wait also ends when `wakeOn` (if given) is signalled.
    explicit WindowMessageQueue(HANDLE wakeOn = nullptr) : wakeOn_(wakeOn) {}
    Dispatch DispatchWaiting() override;
    void WaitForMessages(int milliseconds) override;

private:
    HANDLE wakeOn_;
};

class WindowSearchClock : public SystemClock {
public:
    void Sleep(int milliseconds) override;
};
