// The transfer operations are not served yet: each answers
// a plain failure so that an application never mistakes them for success.
// Each handler leaves this file when its real implementation lands.
#include "DeferredOperations.h"

namespace {
TW_UINT16 notServedYet(TW_UINT16 conditionCode)
{
    return failOperation("Operation not available in this build.  ", conditionCode);
}
}

TW_UINT16 HandlePendingXfers(const TwainRequest&) { return notServedYet(TWCC_BADPROTOCOL); }
TW_UINT16 HandleSetupMemXfer(const TwainRequest&) { return notServedYet(TWCC_BADPROTOCOL); }
TW_UINT16 HandleSetupFileXfer(const TwainRequest&) { return notServedYet(TWCC_BADPROTOCOL); }
TW_UINT16 HandleXferGroup(const TwainRequest&) { return notServedYet(TWCC_BADPROTOCOL); }

TW_UINT16 HandleImageInfo(const TwainRequest&) { return notServedYet(TWCC_BADPROTOCOL); }
TW_UINT16 HandleImageLayout(const TwainRequest&) { return notServedYet(TWCC_BADPROTOCOL); }
TW_UINT16 HandleImageMemXfer(const TwainRequest&) { return notServedYet(TWCC_BADPROTOCOL); }
TW_UINT16 HandleImageNativeXfer(const TwainRequest&) { return notServedYet(TWCC_BADPROTOCOL); }
TW_UINT16 HandleImageFileXfer(const TwainRequest&) { return notServedYet(TWCC_BADPROTOCOL); }
TW_UINT16 HandlePalette8(const TwainRequest&) { return notServedYet(TWCC_BADPROTOCOL); }
