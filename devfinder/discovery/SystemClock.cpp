#include "SystemClock.h"

#include <chrono>
#include <ctime>
#include <thread>

long long SystemClock::NowSeconds()
{
    return static_cast<long long>(std::time(nullptr));
}

void SystemClock::Sleep(int milliseconds)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}
