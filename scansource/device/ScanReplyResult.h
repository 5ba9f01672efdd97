#pragma once
// Result codes shared by the transport, the command protocol and the scan
// engine, and the transport's own success and failure codes.
#include <cstdint>

enum ScanReplyResult : int {
    SCAN_REPLY_SUCCESS = 100,
    SCAN_REPLY_DEVICE_ERROR = 101,
    SCAN_REPLY_TIMEOUT = 102,
    SCAN_REPLY_STOP_REQUESTED = 103,
    SCAN_REPLY_STATUS_OK = 104,
    SCAN_REPLY_FEEDER_EMPTY = 105,
    SCAN_REPLY_FEEDER_LOADED = 106,
    SCAN_REPLY_FEEDER_JAM = 107,
    SCAN_REPLY_UNKNOWN_STATUS = 108,
    SCAN_REPLY_NO_MEMORY = 109,
    SCAN_REPLY_CANT_OPEN = 110,
    SCAN_REPLY_BAD_HEADER = 111,
    SCAN_REPLY_IN_USE = 113,
};

constexpr int USB_OK = 1000;
constexpr int USB_FAILED = 1002;

// Reply status byte values (byte 3 of a reply or status header).
enum ScanCommandStatus : int {
    SCANCMD_RESULT_SUCCESS = 0,
    SCANCMD_RESULT_ILLEGAL_COMMAND = 1,
    SCANCMD_RESULT_SCANNER_NOT_LOCKED = 2,
    SCANCMD_RESULT_WARMING = 3,
    SCANCMD_RESULT_POWEREDOFF = 4,
    SCANCMD_RESULT_COPYNOTLOCKED = 5,
    SCANCMD_RESULT_UNKNOWNPARAMID = 6,
    SCANCMD_RESULT_DATASIZEMISMATCH = 7,
    SCANCMD_RESULT_PARAMETERINUSE = 8,
    SCANCMD_RESULT_STOPREQUESTED = 9,
    SCANCMD_RESULT_ADFSTATUS = 15,
};

// What writeEscCommand answers when the write or the read failed.
constexpr int SCANCMD_TRANSPORT_FAILURE = 255;

// Detail byte of a feeder reply (and of a refused lock).
enum FeederState : int {
    FEEDER_EMPTY = 0,
    FEEDER_LOADED = 1,
    FEEDER_NOT_ATTACHED = 2,
    FEEDER_SCAN_UNIT_OPEN = 3,
    FEEDER_SCAN_COVER_OPEN = 4,
    FEEDER_COVER_OPEN = 5,
};

struct StatusMapping {
    int result;
    const char* trace;  // what goes to the diagnostic trace, never null
};

// How a status header (or reply) with these status and detail bytes is
// reported by readScanReply.
StatusMapping mapReplyStatus(uint8_t status, uint8_t detail);
