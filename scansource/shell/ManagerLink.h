#pragma once
#include "twain.h"

// Sends a notification to the connected application through the data
// source manager already loaded in the process: the TWAIN 2 manager when
// present, else TWAIN_32.DLL, loaded only when neither is. A notification
// sent through a second, freshly loaded manager would never reach the
// application. Without a manager or its DSM_Entry nothing is sent.
void SendManagerNotification(TW_UINT16 message);
