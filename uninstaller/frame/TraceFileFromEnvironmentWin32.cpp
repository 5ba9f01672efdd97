#include <windows.h>

#include <cstdio>

#include "TraceFile.h"

void appendToTraceFile(const std::string& text) {
  char path[MAX_PATH];
  DWORD length = GetEnvironmentVariableA("VIVARO_TRACE_FILE", path, sizeof path);
  if (length == 0 || length >= sizeof path) return;
  if (FILE* file = std::fopen(path, "a")) {
    std::fputs(text.c_str(), file);
    std::fclose(file);
  }
}
