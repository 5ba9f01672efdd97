// The scanner queries of the scan settings window, on the source's scanner.
#include "ScanWindowServices.h"

#include "device/EscCommands.h"

namespace scanservices {

int isFeederMissing() { return ::isFeederMissing(); }
int queryFeederStatus(int reportCovers) { return ::queryFeederStatus(reportCovers); }

}  // namespace scanservices
