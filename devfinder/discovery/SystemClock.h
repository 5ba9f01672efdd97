#pragma once
// The real wall clock in whole seconds, and real sleeping.
#include "SearchPorts.h"

class SystemClock : public SearchClock {
public:
    long long NowSeconds() override;
    void Sleep(int milliseconds) override;
};
