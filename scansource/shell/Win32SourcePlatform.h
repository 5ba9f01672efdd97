#pragma once
#include "SourcePlatform.h"

// The dispatch core's view of Windows: support library, settings file,
// scanner transport, data source manager and the scan settings window.
SourcePlatform& win32SourcePlatform();
