#include "ScanReplyResult.h"

StatusMapping mapReplyStatus(uint8_t status, uint8_t detail)
{
    // The device's status byte is signed: anything above 127 is unknown.
    switch (static_cast<int8_t>(status)) {
    case SCANCMD_RESULT_SUCCESS:
        return {SCAN_REPLY_STATUS_OK, "SCANCMD_RESULT_SUCCESS"};
    case SCANCMD_RESULT_ILLEGAL_COMMAND:
        return {SCAN_REPLY_DEVICE_ERROR, "SCANCMD_RESULT_ILLEGAL_COMMAND"};
    case SCANCMD_RESULT_SCANNER_NOT_LOCKED:
        return {SCAN_REPLY_DEVICE_ERROR, "SCANCMD_RESULT_SCANNER_NOT_LOCKED"};
    case SCANCMD_RESULT_WARMING:
        return {SCAN_REPLY_DEVICE_ERROR, "SCANCMD_RESULT_WARMING"};
    case SCANCMD_RESULT_POWEREDOFF:
        return {SCAN_REPLY_DEVICE_ERROR, "SCANCMD_RESULT_POWEREDOFF"};
    case SCANCMD_RESULT_COPYNOTLOCKED:
        return {SCAN_REPLY_DEVICE_ERROR, "SCANCMD_RESULT_COPYNOTLOCKED"};
    case SCANCMD_RESULT_UNKNOWNPARAMID:
        return {SCAN_REPLY_DEVICE_ERROR, "SCANCMD_RESULT_UNKNOWNPARAMID"};
    case SCANCMD_RESULT_DATASIZEMISMATCH:
        return {SCAN_REPLY_DEVICE_ERROR, "SCANCMD_RESULT_DATASIZEMISMATCH"};
    case SCANCMD_RESULT_PARAMETERINUSE:
        return {SCAN_REPLY_DEVICE_ERROR, "SCANCMD_RESULT_PARAMETERINUSE"};
    case SCANCMD_RESULT_STOPREQUESTED:
        return {SCAN_REPLY_STOP_REQUESTED, "SCANCMD_RESULT_STOPREQUESTED"};
    case SCANCMD_RESULT_ADFSTATUS:
        switch (detail) {
        case 0:
            return {SCAN_REPLY_FEEDER_EMPTY, "SCANCMD_RESULT_ADFSTATUS"};
        case 1:
            return {SCAN_REPLY_FEEDER_LOADED, "SCANCMD_RESULT_ADFSTATUS"};
        case 15:
            return {SCAN_REPLY_FEEDER_JAM, "SCANCMD_RESULT_ADFSTATUS"};
        default:
            return {SCAN_REPLY_UNKNOWN_STATUS, "FAILURE: ADFStatus had a bad value for d[4]"};
        }
    default:
        return {SCAN_REPLY_UNKNOWN_STATUS, "Unknown status return received from MFP"};
    }
}
