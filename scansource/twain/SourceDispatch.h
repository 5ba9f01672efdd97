#pragma once
// The body of DS_Entry: the application gate, event interception, the
// condition-code clearing rule and the two dispatch tables.
#include "SourceContext.h"

// DS_Entry: nothing thrown inside leaves it (memory running short answers
// TWCC_LOWMEMORY, anything else TWCC_BUMMER).
TW_UINT16 dispatchTwainCall(const TwainRequest& request);
