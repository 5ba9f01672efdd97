#pragma once
// The scanstream command line, apart from main() so that tests can run it.
//
//   scanstream decode --width W --height H --channels C IN OUT
//   scanstream encode --predictor P [--offsets re,ro,ge,go,be,bo | none] IN OUT
//
// Returns the process exit status: 0 done, 1 bad or unreadable data,
// 2 bad arguments. Messages go to `errors`.
#include <cstdio>

namespace scanstream {

enum ExitStatus { ExitDone = 0, ExitDataError = 1, ExitUsageError = 2 };

int runScanStream(int argc, const char* const* argv, FILE* errors);

}  // namespace scanstream
