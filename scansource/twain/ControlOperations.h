#pragma once
// The DG_CONTROL operations that the entry itself serves.
#include "SourceContext.h"

TW_UINT16 HandleIdentity(const TwainRequest& request);
TW_UINT16 HandleUserInterface(const TwainRequest& request);
TW_UINT16 HandleStatus(const TwainRequest& request);

// String-table id of the key traced when the scanner channel cannot be closed.
constexpr unsigned IDS_ERROR_CANT_CLOSE_CHANNEL_KEY = 19;
