// The capability operations are not served yet: each answers
// a plain failure so that an application never mistakes them for success.
// Each handler leaves this file when its real implementation lands.
#include "DeferredOperations.h"

namespace {
TW_UINT16 notServedYet(TW_UINT16 conditionCode)
{
    return failOperation("Operation not available in this build.  ", conditionCode);
}
}

void BuildCapabilityTable() {}
void DestroyCapabilityTable() {}

TW_UINT16 HandleCapability(const TwainRequest&) { return notServedYet(TWCC_CAPUNSUPPORTED); }
