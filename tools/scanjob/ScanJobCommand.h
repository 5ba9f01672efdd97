#pragma once
// scanjob: one whole scan through the source's portable pipeline (transport,
// protocol, engine, decoder, bitmap building) against the emulated scanner
// in this process, written as a .bmp.
//
//   scanjob --emulator PAGE_OR_CONFIG [--resolution R] [--pixel-type bw|gray|rgb]
//           [--frame L,T,R,B] [--feeder] [--threshold N] [--memory-transfer]
//           [--scans N] --out FILE.bmp
//
// Prints the engine's result and the message keys it would have shown or
// traced; exits 0 only on result 100. With --scans N the same emulated
// scanner scans N times in turn (a fault configured "once" spoils only the
// first): scan k is written to FILE-k.bmp, nothing for a failed one, and
// its report follows a line "scan k"; the exit status is the last scan's.
#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

// Where the tool's time comes from: real time, or a clock a test moves.
struct ToolTime {
    std::function<double()> now;  // seconds
    std::function<void(double seconds)> sleep;
};

int runScanJobCommand(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err,
                      const ToolTime* time = nullptr);

// OUT with "-k" before its extension: page.bmp, 2 -> page-2.bmp.
std::string numberedOutputPath(const std::string& path, int number);

// The message key of a string id the scan can show, or "#id".
std::string messageKeyName(unsigned stringId);
