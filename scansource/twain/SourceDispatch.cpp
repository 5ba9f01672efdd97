#include "SourceDispatch.h"

#include "CallBoundary.h"
#include "ControlOperations.h"
#include "DeferredOperations.h"
#include "ImageOperations.h"
#include "SourcePlatform.h"

namespace {
const char BusyFailure[] = "Operation refused while the source is scanning.  ";

struct DispatchEntry {
    TW_UINT16 dat;
    OperationHandler handler;
};

// Searched from the top; an empty handler ends each list.
const DispatchEntry ControlOperations[] = {
    {DAT_IDENTITY, HandleIdentity},
    {DAT_USERINTERFACE, HandleUserInterface},
    {DAT_CAPABILITY, HandleCapability},
    {DAT_STATUS, HandleStatus},
    {DAT_PENDINGXFERS, HandlePendingXfers},
    {DAT_SETUPMEMXFER, HandleSetupMemXfer},
    {DAT_SETUPFILEXFER, HandleSetupFileXfer},
    {DAT_XFERGROUP, HandleXferGroup},
    {0, nullptr},
};

const DispatchEntry ImageOperations[] = {
    {DAT_IMAGEINFO, HandleImageInfo},
    {DAT_IMAGELAYOUT, HandleImageLayout},
    {DAT_IMAGEMEMXFER, HandleImageMemXfer},
    {DAT_IMAGENATIVEXFER, HandleImageNativeXfer},
    {DAT_IMAGEFILEXFER, HandleImageFileXfer},
    {DAT_PALETTE8, HandlePalette8},
    {DAT_GRAYRESPONSE, HandleGrayResponse},
    {DAT_RGBRESPONSE, HandleRgbResponse},
    {DAT_CIECOLOR, HandleCieColor},
    {DAT_JPEGCOMPRESSION, HandleJpegCompression},
    {0, nullptr},
};

OperationHandler findHandler(const DispatchEntry* table, TW_UINT16 dat)
{
    for (; table->handler; ++table)
        if (table->dat == dat)
            return table->handler;
    return nullptr;
}

// The identity query is the one call whose origin is never read: managers
// pass an uninitialised or null origin while they enumerate sources.
bool fromAnotherApplication(const TwainRequest& request)
{
    TW_UINT32 connectedId = sourceContext().ConnectedApp.Id;
    if (connectedId == 0)
        return false;
    if (request.dg == DG_CONTROL && request.dat == DAT_IDENTITY && request.msg == MSG_GET)
        return false;
    return !request.origin || request.origin->Id != connectedId;
}

// What the application may not do while the source waits on a scan or a
// box: start or end a transfer, enable, disable or close the source.
bool refusedWhileBusy(const TwainRequest& request)
{
    if (request.dg == DG_IMAGE)
        return request.dat == DAT_IMAGENATIVEXFER || request.dat == DAT_IMAGEMEMXFER ||
               request.dat == DAT_IMAGEFILEXFER;
    if (request.dg != DG_CONTROL)
        return false;
    switch (request.dat) {
    case DAT_IDENTITY: return request.msg == MSG_OPENDS || request.msg == MSG_CLOSEDS;
    case DAT_USERINTERFACE: return true;
    case DAT_PENDINGXFERS: return request.msg == MSG_ENDXFER || request.msg == MSG_RESET;
    default: return false;
    }
}

TW_UINT16 interceptEvent(const TwainRequest& request)
{
    auto* event = static_cast<TW_EVENT*>(request.data);
    SourcePlatform& platform = sourcePlatform();
    if (event && platform.scanWindowExists() && platform.consumeWindowMessage(event->pEvent)) {
        event->TWMessage = MSG_NULL;
        return TWRC_DSEVENT;
    }
    return TWRC_NOTDSEVENT;
}

TW_UINT16 dispatch(const TwainRequest& request)
{
    // Another application's call is refused without touching the connected
    // application's condition code.
    if (fromAnotherApplication(request))
        return TWRC_FAILURE;
    if (request.msg == MSG_PROCESSEVENT)
        return interceptEvent(request);
    if (sourceBusy() && refusedWhileBusy(request))
        return failOperation(BusyFailure, TWCC_SEQERROR);
    if (request.dg != DG_CONTROL && request.dat != DAT_STATUS)
        setConditionCode(TWCC_SUCCESS);

    OperationHandler handler = nullptr;
    if (request.dg == DG_CONTROL)
        handler = findHandler(ControlOperations, request.dat);
    else if (request.dg == DG_IMAGE)
        handler = findHandler(ImageOperations, request.dat);
    if (!handler)
        return failOperation(nullptr, TWCC_BADPROTOCOL);
    return handler(request);
}
}

TW_UINT16 dispatchTwainCall(const TwainRequest& request)
{
    return callAtBoundary([&] { return dispatch(request); },
                          [](BoundaryFailure failure) {
                              return failOperation(nullptr, failure == BoundaryFailure::lowMemory ? TWCC_LOWMEMORY
                                                                                                  : TWCC_BUMMER);
                          });
}
