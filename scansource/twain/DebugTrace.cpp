#include "DebugTrace.h"

namespace {
DebugTraceObserver traceObserver = nullptr;
}

void DebugTrace(const char* text)
{
    if (traceObserver && text)
        traceObserver(text);
}

void setDebugTraceObserver(DebugTraceObserver observer)
{
    traceObserver = observer;
}
