// A stand-in for the TWAIN 2 manager TWAINDSM.DLL that records the last
// DSM_Entry call, so a test can see which manager a notification went to.
#include <windows.h>

#include "twain.h"

namespace {
TW_IDENTITY lastOrigin;
TW_IDENTITY lastDestination;
TW_UINT32 lastGroup;
TW_UINT16 lastDat;
TW_UINT16 lastMessage;
int calls;
}

extern "C" TW_UINT16 WINAPI DSM_Entry(pTW_IDENTITY origin, pTW_IDENTITY destination, TW_UINT32 group,
                                      TW_UINT16 dat, TW_UINT16 message, TW_MEMREF)
{
    if (origin)
        lastOrigin = *origin;
    if (destination)
        lastDestination = *destination;
    lastGroup = group;
    lastDat = dat;
    lastMessage = message;
    ++calls;
    return TWRC_SUCCESS;
}

extern "C" __declspec(dllexport) int FakeManagerCalls(TW_IDENTITY* origin, TW_IDENTITY* destination,
                                                      TW_UINT32* group, TW_UINT16* dat, TW_UINT16* message)
{
    *origin = lastOrigin;
    *destination = lastDestination;
    *group = lastGroup;
    *dat = lastDat;
    *message = lastMessage;
    return calls;
}
