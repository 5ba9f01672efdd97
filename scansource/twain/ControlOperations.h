#pragma once
// The DG_CONTROL operations that the entry itself serves.
#include "SourceContext.h"

TW_UINT16 HandleIdentity(const TwainRequest& request);
TW_UINT16 HandleUserInterface(const TwainRequest& request);
TW_UINT16 HandleStatus(const TwainRequest& request);
