#include "SourceServices_win.h"

// Until the entry layer's support-library binding is in: wide texts, and
// the texts of the module's own string table.

bool sourceAnsiMode()
{
    return false;
}

int sourceLoadLocalizedString(UINT stringId, void* buffer, int bufferBytes)
{
    int characters = bufferBytes / static_cast<int>(sizeof(WCHAR));
    if (characters < 1)
        return -1;
    int length = LoadStringW(sourceModule(), stringId, static_cast<WCHAR*>(buffer), characters);
    return length > 0 ? length : -1;
}

HINSTANCE sourceModule()
{
    HMODULE module = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<const char*>(&sourceModule), &module);
    return module;
}
