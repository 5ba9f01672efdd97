// A source without a scanner for tests of the window alone: the feeder is
// missing, so the window hides its box and asks nothing more.
#include "ScanWindowServices.h"

namespace scanservices {

int isFeederMissing() { return 1; }
int queryFeederStatus(int) { return 2; }

}  // namespace scanservices
