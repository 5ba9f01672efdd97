#include "Debug.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>

namespace {
std::atomic<int> debugLevel{0};
}

void initDebugLevel()
{
    const char* setting = std::getenv("SANE_DEBUG_VIVARO");
    debugLevel = setting ? std::atoi(setting) : 0;
}

void debugMessage(int level, const char* format, ...)
{
    if (level > debugLevel)
        return;
    char text[1024];
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(text, sizeof text, format, arguments);
    va_end(arguments);
    // One write per message, so the scan thread's lines do not interleave
    // with the caller's.
    std::fprintf(stderr, "[vivaro] %s\n", text);
}
