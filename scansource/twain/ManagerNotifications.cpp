#include "ManagerNotifications.h"

#include "DebugTrace.h"
#include "SourceContext.h"
#include "SourcePlatform.h"

void NotifyXferReady()
{
    // The state changes first: an application may ask for the image from
    // inside the notification.
    setSourceState(StateTransferReady);
    DebugTrace("function  NotifyXferReady\r\n");
    sourcePlatform().sendManagerNotification(MSG_XFERREADY);
}

void NotifyCloseDsRequest()
{
    sourcePlatform().sendManagerNotification(MSG_CLOSEDSREQ);
}
