#include "shell/SettingsFilePath.h"

#include <windows.h>

std::string settingsFilePath()
{
    char folder[MAX_PATH];
    UINT length = GetWindowsDirectoryA(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return std::string();
    return std::string(folder) + "\\TWAIN_32\\ZVP4\\ZVP4T___.INI";
}
