#include "ControlOperations.h"

#include <string.h>

#include "DeferredOperations.h"
#include "ManagerNotifications.h"
#include "SourcePlatform.h"
#include "StringIds.h"

namespace {
const char OpenFailure[] = "General failure in response to MSG_OPENDS.  ";
const char CloseFailure[] = "General failure in response to MSG_CLOSEDS.  ";
const char EnableFailure[] = "General failure in response to MSG_ENABLEDS.  ";
const char DisableFailure[] = "General failure in response to MSG_DISABLEDS.  ";
const char IdentityFailure[] = "General failure in response to DAT_IDENTITY.  ";
const char UserInterfaceFailure[] = "General failure in response to DAT_USERINTERFACE.  ";
const char StatusFailure[] = "General failure in response to DAT_STATUS.  ";

bool isOpen(int state)
{
    return state >= StateOpen && state <= StateTransferring;
}

bool isEnabled(int state)
{
    return state >= StateEnabled && state <= StateTransferring;
}

// The manager's Id is left as the caller set it; the origin is never read,
// because managers pass an uninitialised or null origin here.
TW_UINT16 describeSource(const TwainRequest& request)
{
    auto* identity = static_cast<TW_IDENTITY*>(request.data);
    if (!identity)
        return failOperation(IdentityFailure, TWCC_BADVALUE);
    const TW_IDENTITY& own = sourceContext().SourceIdentity;
    identity->Version = own.Version;
    identity->ProtocolMajor = own.ProtocolMajor;
    identity->ProtocolMinor = own.ProtocolMinor;
    identity->SupportedGroups = own.SupportedGroups;
    memcpy(identity->Manufacturer, own.Manufacturer, sizeof identity->Manufacturer);
    memcpy(identity->ProductFamily, own.ProductFamily, sizeof identity->ProductFamily);
    memcpy(identity->ProductName, own.ProductName, sizeof identity->ProductName);
    return TWRC_SUCCESS;
}

// Only the Id assigned by the manager is taken over: the identity texts are
// the source's own, whatever the application put in its record.
TW_UINT16 openSource(const TwainRequest& request)
{
    if (sourceState() != StateLoaded)
        return failOperation(OpenFailure, TWCC_SEQERROR);
    auto* identity = static_cast<TW_IDENTITY*>(request.data);
    if (!request.origin || !identity)
        return failOperation(OpenFailure, TWCC_BADVALUE);
    SourcePlatform& platform = sourcePlatform();
    platform.bindSupportLibrary();
    platform.loadSettings();
    beginSession(*request.origin, identity->Id);
    BuildCapabilityTable();
    return TWRC_SUCCESS;
}

// Settings are saved only when a session ends, so that a stray close
// cannot overwrite the user's file with values no session set.
TW_UINT16 closeSource()
{
    SourcePlatform& platform = sourcePlatform();
    if (isOpen(sourceState())) {
        platform.saveSettings();
        if (platform.scanWindowExists())
            platform.destroyScanWindow();
        releaseTransferImage();
        endSession();
        DestroyCapabilityTable();
    } else {
        failOperation(CloseFailure, TWCC_SEQERROR);
    }
    platform.releaseSupportLibrary();
    platform.releaseImagingLibrary();
    return TWRC_SUCCESS;
}

TW_UINT16 enableSource(const TwainRequest& request)
{
    SourcePlatform& platform = sourcePlatform();
    SourceContext& context = sourceContext();
    platform.decideAnsiMode();
    bool reachable;
    {
        // The probe may show a box; what the application asks meanwhile is refused.
        BusyScope busy;
        reachable = platform.scannerReachable();
    }
    if (!reachable) {
        // The failed open still counts as a use of the channel: close it once.
        if (!platform.closeScannerChannel())
            platform.traceWarning(IDS_ERROR_CANT_CLOSE_CHANNEL);
        return failOperation(EnableFailure, TWCC_CHECKDEVICEONLINE);
    }
    if (sourceState() != StateOpen)
        return failOperation(EnableFailure, TWCC_SEQERROR);
    if (auto* userInterface = static_cast<TW_USERINTERFACE*>(request.data)) {
        context.showUI = userInterface->ShowUI;
        context.parentWindow = userInterface->hParent;
    }
    // NotifyXferReady enters state 6 before the application hears of it:
    // the application may disable or close the source inside the message.
    if (!context.showUI) {
        NotifyXferReady();
        return TWRC_SUCCESS;
    }
    bool created;
    {
        // Setting the window up asks the scanner for its feeder and may show
        // a box: a close meanwhile would leave an enabled source unopened.
        BusyScope busy;
        created = platform.createScanWindow(context.parentWindow);
    }
    if (!created)
        return failOperation(EnableFailure, TWCC_BUMMER);
    setSourceState(StateEnabled);
    return TWRC_SUCCESS;
}

TW_UINT16 disableSource()
{
    if (!isEnabled(sourceState()))
        return failOperation(DisableFailure, TWCC_SEQERROR);
    SourcePlatform& platform = sourcePlatform();
    if (platform.scanWindowExists())
        platform.destroyScanWindow();
    releaseTransferImage();
    setSourceState(StateOpen);
    return TWRC_SUCCESS;
}
}

TW_UINT16 HandleIdentity(const TwainRequest& request)
{
    switch (request.msg) {
    case MSG_GET: return describeSource(request);
    case MSG_OPENDS: return openSource(request);
    case MSG_CLOSEDS: return closeSource();
    default: return failOperation(IdentityFailure, TWCC_BADPROTOCOL);
    }
}

TW_UINT16 HandleUserInterface(const TwainRequest& request)
{
    switch (request.msg) {
    case MSG_ENABLEDS: return enableSource(request);
    case MSG_DISABLEDS: return disableSource();
    default: return failOperation(UserInterfaceFailure, TWCC_BADPROTOCOL);
    }
}

TW_UINT16 HandleStatus(const TwainRequest& request)
{
    if (request.msg != MSG_GET)
        return failOperation(StatusFailure, TWCC_BADPROTOCOL);
    auto* status = static_cast<TW_STATUS*>(request.data);
    if (!status)
        return failOperation(StatusFailure, TWCC_BADVALUE);
    *status = sourceContext().pendingConditionCode;
    setConditionCode(TWCC_SUCCESS);
    return TWRC_SUCCESS;
}
