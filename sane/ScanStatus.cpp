#include "ScanStatus.h"

#include "StringIds.h"
#include "ScanReplyResult.h"

#include <cstddef>

namespace {

struct MessageStatus {
    unsigned id;
    const char* key;
    SANE_Status status;
};

const MessageStatus kMessages[] = {
    {IDS_ERROR_ADF_JAM, "IDS_ERROR_ADF_JAM", SANE_STATUS_JAMMED},
    {IDS_MESSAGE_ADF_NOT_ATTACHED, "IDS_MESSAGE_ADF_NOT_ATTACHED", SANE_STATUS_NO_DOCS},
    {IDS_MESSAGE_ADF_SCAN_UNIT_OPEN, "IDS_MESSAGE_ADF_SCAN_UNIT_OPEN", SANE_STATUS_COVER_OPEN},
    {IDS_MESSAGE_ADF_SCAN_COVER_OPEN, "IDS_MESSAGE_ADF_SCAN_COVER_OPEN", SANE_STATUS_COVER_OPEN},
    {IDS_MESSAGE_ADF_COVER_OPEN, "IDS_MESSAGE_ADF_COVER_OPEN", SANE_STATUS_COVER_OPEN},
    {IDS_ERROR_OTHER_APP_USING_SCANNER, "IDS_ERROR_OTHER_APP_USING_SCANNER", SANE_STATUS_DEVICE_BUSY},
    {IDS_ERROR_NO_MEMORY_FOR_DIB, "IDS_ERROR_NO_MEMORY_FOR_DIB", SANE_STATUS_NO_MEM},
    {IDS_ERROR_SELECT_LARGER_AREA, "IDS_ERROR_SELECT_LARGER_AREA", SANE_STATUS_INVAL},
    {IDS_ERROR_DISCONNECTION, "IDS_ERROR_DISCONNECTION", SANE_STATUS_IO_ERROR},
    {IDS_ERROR_TIMEOUT_MONO, "IDS_ERROR_TIMEOUT_MONO", SANE_STATUS_IO_ERROR},
    {IDS_ERROR_INTERNAL_FAILURE, "IDS_ERROR_INTERNAL_FAILURE", SANE_STATUS_IO_ERROR},
    {IDS_ERROR_UNKNOWN_SCANNER_LOCKING_FAILURE, "IDS_ERROR_UNKNOWN_SCANNER_LOCKING_FAILURE", SANE_STATUS_IO_ERROR},
    // The lamp-warming wait's texts; the wait ends in a lock or a cancel.
    {IDS_ERROR_SCANNER_WARMING, "IDS_ERROR_SCANNER_WARMING", SANE_STATUS_IO_ERROR},
    {IDS_ERROR_SCANNER_NOT_LOCKED, "IDS_ERROR_SCANNER_NOT_LOCKED", SANE_STATUS_IO_ERROR},
    {IDS_ERROR_SCAN_SETTING, "IDS_ERROR_SCAN_SETTING", SANE_STATUS_IO_ERROR},
    {IDS_ERROR_SCAN_RESOLUTION, "IDS_ERROR_SCAN_RESOLUTION", SANE_STATUS_IO_ERROR},
    {IDS_ERROR_SCAN_OFFSET, "IDS_ERROR_SCAN_OFFSET", SANE_STATUS_IO_ERROR},
    {IDS_ERROR_SCAN_SIZE, "IDS_ERROR_SCAN_SIZE", SANE_STATUS_IO_ERROR},
    {IDS_ERROR_SCAN_SOURCE, "IDS_ERROR_SCAN_SOURCE", SANE_STATUS_IO_ERROR},
    {IDS_ERROR_SCAN_CLIPPING, "IDS_ERROR_SCAN_CLIPPING", SANE_STATUS_IO_ERROR},
    {IDS_ERROR_SCAN_START, "IDS_ERROR_SCAN_START", SANE_STATUS_IO_ERROR},
    {IDS_ERROR_DECOMP_START, "IDS_ERROR_DECOMP_START", SANE_STATUS_IO_ERROR},
    {IDS_ERROR_DECOMP_MORE, "IDS_ERROR_DECOMP_MORE", SANE_STATUS_IO_ERROR},
};

const MessageStatus* findMessage(unsigned id)
{
    for (const MessageStatus& m : kMessages) {
        if (m.id == id)
            return &m;
    }
    return nullptr;
}

SANE_Status statusForStreamReply(int reply)
{
    switch (reply) {
    case SCAN_REPLY_FEEDER_JAM:
        return SANE_STATUS_JAMMED;
    case SCAN_REPLY_FEEDER_EMPTY:
        return SANE_STATUS_NO_DOCS;
    case SCAN_REPLY_STOP_REQUESTED:  // the stop button of the device
        return SANE_STATUS_CANCELLED;
    default:  // device errors, bad headers, time-outs, lost connection
        return SANE_STATUS_IO_ERROR;
    }
}

}  // namespace

bool messageStopsTheScan(unsigned id)
{
    return id == IDS_MESSAGE_ADF_NOT_ATTACHED || id == IDS_MESSAGE_ADF_SCAN_UNIT_OPEN ||
           id == IDS_MESSAGE_ADF_SCAN_COVER_OPEN || id == IDS_MESSAGE_ADF_COVER_OPEN;
}

const char* messageKey(unsigned id)
{
    const MessageStatus* m = findMessage(id);
    return m ? m->key : "message";
}

SANE_Status saneStatusFor(const ScanOutcome& o)
{
    if (o.cancelledByFrontend)
        return SANE_STATUS_CANCELLED;
    if (o.result == SCAN_REPLY_SUCCESS)
        return SANE_STATUS_GOOD;
    if (o.feederEmpty)
        return SANE_STATUS_NO_DOCS;
    // The stop we asked for ends the stream; the feeder's state is the reason.
    if (messageStopsTheScan(o.message))
        return findMessage(o.message)->status;
    if (o.streamReply != 0)
        return statusForStreamReply(o.streamReply);
    // The lock wait gives up after a while; on a cover, that is a cover left open.
    if (o.message == IDS_ERROR_UNKNOWN_SCANNER_LOCKING_FAILURE && messageStopsTheScan(o.lockWait))
        return findMessage(o.lockWait)->status;
    if (const MessageStatus* m = findMessage(o.message))
        return m->status;
    // A scan ended for no reason the engine gave is no image and no cancel.
    return o.result == SCAN_REPLY_NO_MEMORY ? SANE_STATUS_NO_MEM : SANE_STATUS_IO_ERROR;
}

SANE_Status saneStatusForOpen(int openResult, uint32_t lastError)
{
    switch (openResult) {
    case SCAN_REPLY_SUCCESS:
        return SANE_STATUS_GOOD;
    case SCAN_REPLY_IN_USE:
        return SANE_STATUS_DEVICE_BUSY;
    default:
        return lastError == kErrorAccessDenied ? SANE_STATUS_ACCESS_DENIED : SANE_STATUS_IO_ERROR;
    }
}

const char* statusText(SANE_Status status)
{
    static const char* const kTexts[] = {"good",        "unsupported",  "cancelled",   "device busy",
                                         "invalid",     "end of file",  "jammed",      "no documents",
                                         "cover open",  "I/O error",    "no memory",   "access denied"};
    return status >= 0 && static_cast<size_t>(status) < sizeof kTexts / sizeof kTexts[0] ? kTexts[status]
                                                                                        : "unknown status";
}
