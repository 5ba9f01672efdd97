#include "ConditionTexts.h"

#include <string.h>

#include <initializer_list>

#include "DebugTrace.h"

const char* conditionText(TW_UINT16 conditionCode)
{
    switch (conditionCode) {
    case TWCC_SUCCESS: return "Success message from detailed error request ??";
    case TWCC_BUMMER: return "Bummer error.";
    case TWCC_LOWMEMORY: return "Low Memory Condition encountered, free up some memory and try again.";
    case TWCC_NODS: return "No Data Source found error.";
    case TWCC_MAXCONNECTIONS: return "Source is connected to max possible apps.";
    case TWCC_OPERATIONERROR: return "An operation error just occurred.";
    case TWCC_BADCAP: return "Bad capabilities error.";
    case TWCC_BADPROTOCOL: return "Bad protocol error.";
    case TWCC_BADVALUE: return "Bad value error.";
    case TWCC_SEQERROR: return "DG DAT MSG is out of expected sequence.";
    case TWCC_CHECKDEVICEONLINE: return "Device is disconnected or not turned on";
    default: return "Unknown Error value in condition code.";
    }
}

void formatFailureTrace(const char* operationText, TW_UINT16 conditionCode, char* out, size_t outBytes)
{
    if (outBytes == 0)
        return;
    out[0] = '\0';
    size_t used = 0;
    for (const char* part : {operationText ? operationText : "", conditionText(conditionCode)}) {
        size_t length = strlen(part);
        size_t room = outBytes - 1 - used;
        if (length > room)
            length = room;
        memcpy(out + used, part, length);
        used += length;
    }
    out[used] = '\0';
}

void TraceFailure(const char* operationText, TW_UINT16 conditionCode)
{
    char text[180];
    formatFailureTrace(operationText, conditionCode, text, sizeof text);
    DebugTrace(text);
}
