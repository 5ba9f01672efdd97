#pragma once

#include <string>

// The diagnostic trace: the debugger output and, in test builds, the file
// named by the environment variable VIVARO_TRACE_FILE when it is set.
void writeTrace(const std::string& line);
