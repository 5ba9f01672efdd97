#include "TraceFile.h"

// The release build traces to the debugger output only.
void appendToTraceFile(const std::string&) {}
