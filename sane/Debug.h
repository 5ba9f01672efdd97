#pragma once
// The backend's diagnostic messages, as SANE backends give them: on stderr,
// prefixed "[vivaro]", shown up to the level in SANE_DEBUG_VIVARO.
//   1 errors and what a scan ended with, 2 device and scan events,
//   3 the engine's traces, 4 every option and read call.

// Reads SANE_DEBUG_VIVARO; called by sane_init.
void initDebugLevel();

void debugMessage(int level, const char* format, ...) __attribute__((format(printf, 2, 3)));
