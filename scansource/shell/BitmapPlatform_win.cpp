#include "shell/BitmapPlatform_win.h"

#include <stdio.h>

#include "shell/MessageBoxes.h"

bool Win32BitmapPlatform::newTemporaryFileName(std::string& path)
{
    char folder[260];
    DWORD length = GetTempPathA(sizeof folder, folder);
    if (length == 0 || length >= sizeof folder)
        return false;
    char name[MAX_PATH];
    if (GetTempFileNameA(folder, "", 0, name) == 0)
        return false;
    path = name;
    return true;
}

bool Win32BitmapPlatform::moduleLoaded(const char* name)
{
    return GetModuleHandleA(name) != nullptr;
}

void Win32BitmapPlatform::showWarning(unsigned stringId, bool show)
{
    ShowWarning(owner_, stringId, show ? TRUE : FALSE);
}

void Win32BitmapPlatform::showPlainWarning(unsigned stringId, int resultCode, int line, const char* sourceName)
{
    char source[128];
    snprintf(source, sizeof source, "%s line %d", sourceName ? sourceName : "", line);
    ShowPlainWarning(owner_, stringId, resultCode, source);
}
