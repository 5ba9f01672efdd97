#include "shell/ManagerLink.h"

#include <windows.h>

#include "SourceContext.h"

void SendManagerNotification(TW_UINT16 message)
{
    HMODULE manager = GetModuleHandleA("TWAINDSM.DLL");
    if (!manager)
        manager = GetModuleHandleA("TWAIN_32.DLL");
    HMODULE loaded = nullptr;
    if (!manager)
        manager = loaded = LoadLibraryA("TWAIN_32.DLL");
    if (!manager)
        return;
    auto entry = reinterpret_cast<DSMENTRYPROC>(reinterpret_cast<void*>(GetProcAddress(manager, "DSM_Entry")));
    if (entry) {
        SourceContext& context = sourceContext();
        entry(&context.SourceIdentity, &context.ConnectedApp, DG_CONTROL, DAT_NULL, message, nullptr);
    }
    if (loaded)
        FreeLibrary(loaded);
}
