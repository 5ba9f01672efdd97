#pragma once
// What a scan ended with, in SANE's terms. The engine speaks in result
// codes and in the messages the source would show; a SANE front end gets
// one status, converted here and nowhere else.
#include <sane/sane.h>

#include <cstdint>

struct ScanOutcome {
    int result = 0;                    // of runScanJob
    bool cancelledByFrontend = false;  // sane_cancel
    bool feederEmpty = false;          // the engine asked for paper
    int streamReply = 0;               // the reply that ended the data stream early; 0 none
    unsigned message = 0;              // the first message the engine showed; 0 none
    unsigned lockWait = 0;             // what the lock wait waited for (its dialog's text); 0 none
};

SANE_Status saneStatusFor(const ScanOutcome& outcome);

// The device files' lastError() for a device the user may not open.
constexpr uint32_t kErrorAccessDenied = 5;

// openScanner's 100, 101 or 113, with the device files' last error.
SANE_Status saneStatusForOpen(int openResult, uint32_t lastError = 0);

// The feeder states that make the engine tell the user and go on: without
// anyone to read that, the scan is stopped instead.
bool messageStopsTheScan(unsigned stringId);

// The status in words, for the debug output.
const char* statusText(SANE_Status status);

// The message's key (IDS_...) for the debug output, or "message".
const char* messageKey(unsigned stringId);
