#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "Trace.h"

void writeTrace(const std::string& line) {
  std::string text = line + "\n";
  OutputDebugStringA(text.c_str());
  char path[MAX_PATH];
  DWORD length = GetEnvironmentVariableA("VIVARO_TRACE_FILE", path, sizeof path);
  if (length == 0 || length >= sizeof path) return;
  if (FILE* file = std::fopen(path, "a")) {
    std::fputs(text.c_str(), file);
    std::fclose(file);
  }
}
