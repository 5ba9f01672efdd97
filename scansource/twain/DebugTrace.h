#pragma once
// The source's diagnostic trace: every failure text of the source passes
// through here. The sink records nothing; it is the hook for a diagnostic log.
void DebugTrace(const char* text);

// A diagnostic log (or a test) may watch the trace; null stops watching.
using DebugTraceObserver = void (*)(const char* text);
void setDebugTraceObserver(DebugTraceObserver observer);
