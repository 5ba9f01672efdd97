#pragma once
// The system's monotonic clock, and real sleeping.
#include "SearchPorts.h"

class SystemClock : public SearchClock {
public:
    long long NowMilliseconds() override;
    void Sleep(int milliseconds) override;
};
