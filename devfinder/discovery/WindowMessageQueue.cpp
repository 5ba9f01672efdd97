#include "WindowMessageQueue.h"

MessageQueue::Dispatch WindowMessageQueue::DispatchWaiting()
{
    MSG message;
    if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        return Dispatch::None;
    }
    if (message.message == WM_QUIT) {
        PostQuitMessage(static_cast<int>(message.wParam));
        return Dispatch::Quit;
    }
    TranslateMessage(&message);
    DispatchMessageA(&message);
    return Dispatch::One;
}

void WindowMessageQueue::WaitForMessages(int milliseconds)
{
    const DWORD handles = wakeOn_ ? 1 : 0;
    MsgWaitForMultipleObjectsEx(handles, wakeOn_ ? &wakeOn_ : nullptr, static_cast<DWORD>(milliseconds), QS_ALLINPUT,
                                MWMO_INPUTAVAILABLE);
}

void WindowSearchClock::Sleep(int milliseconds)
{
    WindowMessageQueue queue;
    SystemClock clock;
    PumpMessages(queue, clock, milliseconds);
}
