#include "Win32MaskingToolPlatform.h"

#include <windows.h>

namespace {

HANDLE asHandle(MaskingToolPlatform::Process process) { return reinterpret_cast<HANDLE>(process); }

}  // namespace

std::vector<std::string> Win32MaskingToolPlatform::OemPathDirectories() {
  std::vector<std::string> directories;
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\ARVEL NORVANE\\OEM\\OEMPaths", 0, KEY_ALL_ACCESS, &key) !=
      ERROR_SUCCESS)
    return directories;
  for (DWORD index = 0;; ++index) {
    char name[MAX_PATH] = "";
    DWORD nameSize = sizeof name;
    char data[MAX_PATH + 1] = "";
    DWORD dataSize = MAX_PATH;
    DWORD type = 0;
    LONG status = RegEnumValueA(key, index, name, &nameSize, nullptr, &type, reinterpret_cast<BYTE*>(data), &dataSize);
    if (status == ERROR_NO_MORE_ITEMS) break;
    if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) continue;
    data[dataSize < MAX_PATH ? dataSize : MAX_PATH] = '\0';
    directories.emplace_back(data);
  }
  RegCloseKey(key);
  return directories;
}

bool Win32MaskingToolPlatform::FileExists(const std::string& path) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

MaskingToolPlatform::Process Win32MaskingToolPlatform::StartProcess(const std::string& path,
                                                                    const std::string& commandLine) {
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info = {};
  std::string arguments = commandLine;
  if (!CreateProcessA(path.c_str(), arguments.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
    return 0;
  CloseHandle(info.hThread);
  return reinterpret_cast<Process>(info.hProcess);
}

bool Win32MaskingToolPlatform::ProcessStillActive(Process process) {
  DWORD exitCode = 0;
  return GetExitCodeProcess(asHandle(process), &exitCode) && exitCode == STILL_ACTIVE;
}

bool Win32MaskingToolPlatform::MaskingToolDialogExists() { return FindWindowA("#32770", "Veneer") != nullptr; }

void Win32MaskingToolPlatform::ReleaseProcess(Process process) { CloseHandle(asHandle(process)); }
