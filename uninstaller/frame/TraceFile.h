#pragma once

#include <string>

// Where the trace goes besides the debugger output. Test builds append it
// to the file the environment variable VIVARO_TRACE_FILE names; the release
// build has no such file, as an elevated uninstaller must not append to a
// file that any user can name.
void appendToTraceFile(const std::string& text);
