#pragma once
// The body of DS_Entry: the application gate, event interception, the
// condition-code clearing rule and the two dispatch tables.
#include "SourceContext.h"

TW_UINT16 dispatchTwainCall(const TwainRequest& request);
