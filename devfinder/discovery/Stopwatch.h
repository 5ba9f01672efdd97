#pragma once
// Time spent since the stopwatch started. Only forward steps of the clock
// count, so a clock that steps backwards can never stretch a wait.
#include "SearchPorts.h"

class Stopwatch {
public:
    explicit Stopwatch(SearchClock& clock) : clock_(clock), last_(clock.NowMilliseconds()) {}

    long long ElapsedMilliseconds()
    {
        const long long now = clock_.NowMilliseconds();
        if (now > last_) {
            elapsed_ += now - last_;
        }
        last_ = now;
        return elapsed_;
    }

private:
    SearchClock& clock_;
    long long last_;
    long long elapsed_ = 0;
};
