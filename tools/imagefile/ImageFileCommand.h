#pragma once
// The imagefile command line, apart from main() so that tests can run it:
// the imaging library's file writers, resampler and BMP reader by hand.
//
//   imagefile save --format bmp|tiff|tiff-multi|jpeg|png [--quality low|medium|high] IN.bmp OUT
//   imagefile resize --width W --height H IN.bmp OUT.bmp
//   imagefile info FILE
//
// Returns the exit status: 0 done, 1 unreadable or unwritable file, 2 bad
// arguments. Results go to `output`, messages to `errors`.
#include <cstdio>

namespace imagefile {

enum ExitStatus { ExitDone = 0, ExitFileError = 1, ExitUsageError = 2 };

int runImageFile(int argc, const char* const* argv, FILE* output, FILE* errors);

}
