#include <windows.h>

#include "Trace.h"
#include "TraceFile.h"

void writeTrace(const std::string& line) {
  std::string text = line + "\n";
  OutputDebugStringA(text.c_str());
  appendToTraceFile(text);
}
