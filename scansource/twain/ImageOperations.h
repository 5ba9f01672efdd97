#pragma once
// The DG_IMAGE operations that the entry itself serves.
#include "SourceContext.h"

TW_UINT16 HandleGrayResponse(const TwainRequest& request);
TW_UINT16 HandleRgbResponse(const TwainRequest& request);
TW_UINT16 HandleCieColor(const TwainRequest& request);
TW_UINT16 HandleJpegCompression(const TwainRequest& request);
