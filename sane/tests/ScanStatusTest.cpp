#include "ScanStatus.h"

#include "StringIds.h"
#include "ScanJob.h"
#include "ScanReplyResult.h"

#include <gtest/gtest.h>

TEST(ScanStatus, EveryEndingHasItsStatus)
{
    struct Case {
        const char* what;
        ScanOutcome outcome;
        SANE_Status status;
    } cases[] = {
        {"a whole image", {SCAN_REPLY_SUCCESS, false, false, 0, 0}, SANE_STATUS_GOOD},
        {"sane_cancel", {SCAN_REPLY_STOP_REQUESTED, true, false, SCAN_REPLY_STOP_REQUESTED, 0}, SANE_STATUS_CANCELLED},
        {"sane_cancel after the last row", {SCAN_REPLY_SUCCESS, true, false, 0, 0}, SANE_STATUS_CANCELLED},
        {"the feeder prompt", {SCAN_REPLY_STOP_REQUESTED, false, true, 0, 0}, SANE_STATUS_NO_DOCS},
        {"jam at the lock", {SCAN_REPLY_STOP_REQUESTED, false, false, 0, IDS_ERROR_ADF_JAM}, SANE_STATUS_JAMMED},
        {"jam in the stream", {SCAN_REPLY_STOP_REQUESTED, false, false, SCAN_REPLY_FEEDER_JAM, IDS_ERROR_ADF_JAM},
         SANE_STATUS_JAMMED},
        {"feeder empty in the stream",
         {SCAN_REPLY_STOP_REQUESTED, false, false, SCAN_REPLY_FEEDER_EMPTY, IDS_ERROR_ADF_JAM}, SANE_STATUS_NO_DOCS},
        {"device error in the stream, shown as a jam by the source",
         {SCAN_REPLY_STOP_REQUESTED, false, false, SCAN_REPLY_DEVICE_ERROR, IDS_ERROR_ADF_JAM},
         SANE_STATUS_IO_ERROR},
        {"cover open, then our stop",
         {SCAN_REPLY_STOP_REQUESTED, false, false, SCAN_REPLY_STOP_REQUESTED, IDS_MESSAGE_ADF_SCAN_COVER_OPEN},
         SANE_STATUS_COVER_OPEN},
        {"scan unit open", {SCAN_REPLY_STOP_REQUESTED, false, false, 0, IDS_MESSAGE_ADF_SCAN_UNIT_OPEN},
         SANE_STATUS_COVER_OPEN},
        {"feeder cover open", {SCAN_REPLY_STOP_REQUESTED, false, false, 0, IDS_MESSAGE_ADF_COVER_OPEN},
         SANE_STATUS_COVER_OPEN},
        {"no feeder", {SCAN_REPLY_STOP_REQUESTED, false, false, 0, IDS_MESSAGE_ADF_NOT_ATTACHED}, SANE_STATUS_NO_DOCS},
        {"stop button of the device", {SCAN_REPLY_STOP_REQUESTED, false, false, SCAN_REPLY_STOP_REQUESTED, 0},
         SANE_STATUS_CANCELLED},
        {"bad header", {SCAN_REPLY_STOP_REQUESTED, false, false, SCAN_REPLY_BAD_HEADER, IDS_ERROR_DISCONNECTION},
         SANE_STATUS_IO_ERROR},
        {"time-out", {SCAN_REPLY_STOP_REQUESTED, false, false, SCAN_REPLY_TIMEOUT, IDS_ERROR_TIMEOUT_MONO},
         SANE_STATUS_IO_ERROR},
        {"no answer to the lock or a feeder query", {SCAN_REPLY_STOP_REQUESTED, false, false, 0, IDS_ERROR_DISCONNECTION},
         SANE_STATUS_IO_ERROR},
        {"lock refused", {SCAN_REPLY_STOP_REQUESTED, false, false, 0, IDS_ERROR_UNKNOWN_SCANNER_LOCKING_FAILURE},
         SANE_STATUS_IO_ERROR},
        {"corrupt stream", {SCAN_RESULT_SETUP_FAILED, false, false, 0, IDS_ERROR_DECOMP_MORE}, SANE_STATUS_IO_ERROR},
        {"refused setting", {SCAN_RESULT_SETUP_FAILED, false, false, 0, IDS_ERROR_SCAN_SIZE}, SANE_STATUS_IO_ERROR},
        {"out of memory", {SCAN_REPLY_NO_MEMORY, false, false, 0, 0}, SANE_STATUS_NO_MEM},
        {"cannot open", {SCAN_REPLY_CANT_OPEN, false, false, 0, 0}, SANE_STATUS_IO_ERROR},
        {"ended for no reason given", {SCAN_REPLY_STOP_REQUESTED, false, false, 0, 0}, SANE_STATUS_IO_ERROR},
        {"the lock wait gave up on an open cover",
         {SCAN_REPLY_STOP_REQUESTED, false, false, 0, IDS_ERROR_UNKNOWN_SCANNER_LOCKING_FAILURE,
          IDS_MESSAGE_ADF_SCAN_COVER_OPEN},
         SANE_STATUS_COVER_OPEN},
        {"the lock wait gave up on the lamp",
         {SCAN_REPLY_STOP_REQUESTED, false, false, 0, IDS_ERROR_UNKNOWN_SCANNER_LOCKING_FAILURE,
          IDS_ERROR_SCANNER_WARMING},
         SANE_STATUS_IO_ERROR},
    };
    for (const Case& c : cases)
        EXPECT_EQ(saneStatusFor(c.outcome), c.status) << c.what;
}

TEST(ScanStatus, OpeningABusyDeviceIsDeviceBusy)
{
    EXPECT_EQ(saneStatusForOpen(SCAN_REPLY_SUCCESS), SANE_STATUS_GOOD);
    EXPECT_EQ(saneStatusForOpen(SCAN_REPLY_IN_USE), SANE_STATUS_DEVICE_BUSY);
    EXPECT_EQ(saneStatusForOpen(SCAN_REPLY_DEVICE_ERROR), SANE_STATUS_IO_ERROR);
    // A scanner the user may not open (not in the scanner group) is no I/O fault.
    EXPECT_EQ(saneStatusForOpen(SCAN_REPLY_DEVICE_ERROR, kErrorAccessDenied), SANE_STATUS_ACCESS_DENIED);
    EXPECT_EQ(saneStatusForOpen(SCAN_REPLY_IN_USE, kErrorAccessDenied), SANE_STATUS_DEVICE_BUSY);
}
