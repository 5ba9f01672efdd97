#pragma once

#include "LoadingResult.h"

// Stands in for the loading dialog until it exists: reads no scripts,
// lists no printers, and says so in the trace.
LoadingResult runPendingLoading();
