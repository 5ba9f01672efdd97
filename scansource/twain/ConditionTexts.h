#pragma once
#include <stddef.h>

#include "twain.h"

// The trace text of a TWAIN condition code.
const char* conditionText(TW_UINT16 conditionCode);

// The operation text followed by the condition text, cut to outBytes - 1
// characters and terminated.
void formatFailureTrace(const char* operationText, TW_UINT16 conditionCode, char* out, size_t outBytes);

// Formats into the 180-byte trace buffer and passes the text to DebugTrace.
void TraceFailure(const char* operationText, TW_UINT16 conditionCode);
