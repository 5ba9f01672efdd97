#pragma once
// Before a scan from the feeder: asks the user to load paper while the
// feeder reports empty.
#include <functional>

// queryFeederStatus answers 0 (paper), 1 (empty), 111 or the failure value;
// askToLoad shows the OK/Cancel prompt and answers IDOK (1) or IDCANCEL (2).
// True when the scan may go on: the feeder is off, or it holds paper and
// the user did not cancel. With the feeder off the scanner is not asked.
bool ensureFeederLoaded(bool feederEnabled, const std::function<int()>& queryFeederStatus,
                        const std::function<int()>& askToLoad);
