#pragma once
// scanjob: one whole scan through the source's portable pipeline (transport,
// protocol, engine, decoder, bitmap building) against the emulated scanner
// in this process, written as a .bmp.
//
//   scanjob --emulator PAGE_OR_CONFIG [--resolution R] [--pixel-type bw|gray|rgb]
//           [--frame L,T,R,B] [--feeder] [--threshold N] [--memory-transfer]
//           --out FILE.bmp
//
// Prints the engine's result and the message keys it would have shown or
// traced; exits 0 only on result 100.
#include <iosfwd>
#include <string>
#include <vector>

int runScanJobCommand(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

// The message key of a string id the scan can show, or "#id".
std::string messageKeyName(unsigned stringId);
