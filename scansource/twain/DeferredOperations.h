#pragma once
// Handlers that the dispatch tables hand to the capability and transfer
// layers, the capability table's life at open and close, and the end of an
// image the application did not take whole.
#include "SourceContext.h"

void BuildCapabilityTable();
void DestroyCapabilityTable();

// Frees a memory transfer's bitmap that is still held (an application may
// disable or close the source in the middle of the strips).
void releaseTransferImage();

TW_UINT16 HandleCapability(const TwainRequest& request);

TW_UINT16 HandlePendingXfers(const TwainRequest& request);
TW_UINT16 HandleSetupMemXfer(const TwainRequest& request);
TW_UINT16 HandleSetupFileXfer(const TwainRequest& request);
TW_UINT16 HandleXferGroup(const TwainRequest& request);

TW_UINT16 HandleImageInfo(const TwainRequest& request);
TW_UINT16 HandleImageLayout(const TwainRequest& request);
TW_UINT16 HandleImageMemXfer(const TwainRequest& request);
TW_UINT16 HandleImageNativeXfer(const TwainRequest& request);
TW_UINT16 HandleImageFileXfer(const TwainRequest& request);
TW_UINT16 HandlePalette8(const TwainRequest& request);
