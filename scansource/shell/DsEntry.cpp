// The one TWAIN export. The .def file names it DS_Entry on every
// architecture (undecorated, ordinal 1).
#include <windows.h>

#include "SourceDispatch.h"

extern "C" TW_UINT16 WINAPI DS_Entry(pTW_IDENTITY pOrigin, TW_UINT32 DG, TW_UINT16 DAT, TW_UINT16 MSG,
                                     TW_MEMREF pData)
{
    return dispatchTwainCall(TwainRequest{pOrigin, DG, DAT, MSG, pData});
}
