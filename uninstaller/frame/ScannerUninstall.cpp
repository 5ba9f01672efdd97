#include <windows.h>

#include <vector>

#include "ScannerUninstall.h"
#include "ScannerUninstallCommand.h"
#include "resource.h"

namespace {

std::string readUninstallString(const std::string& productGuid) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, scannerUninstallKey(productGuid).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
    return std::string();
  DWORD type = 0, size = 0;
  std::string value;
  if (RegQueryValueExA(key, "UninstallString", nullptr, &type, nullptr, &size) == ERROR_SUCCESS && size > 0 &&
      (type == REG_SZ || type == REG_EXPAND_SZ)) {
    std::vector<char> buffer(size + 1, '\0');
    if (RegQueryValueExA(key, "UninstallString", nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &size) ==
        ERROR_SUCCESS)
      value = buffer.data();  // the stored value need not end with a terminator
  }
  RegCloseKey(key);
  return value;
}

}  // namespace

bool startScannerUninstall(const std::string& productGuid, StringTable& texts) {
  std::string uninstallString = readUninstallString(productGuid);
  if (uninstallString.empty()) {
    MessageBoxA(nullptr, texts.text(IDS_FINISHED), texts.text(IDS_TITLE), MB_OK | MB_ICONINFORMATION);
    return false;
  }
  std::string command = scannerUninstallCommand(uninstallString);
  std::vector<char> commandLine(command.begin(), command.end());
  commandLine.push_back('\0');
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, NORMAL_PRIORITY_CLASS, nullptr, nullptr,
                      &startup, &process)) {
    OutputDebugStringA("Failed to call the command from the registry uninstall string!");
    MessageBoxA(nullptr, texts.text(IDS_SCANNER_UNINSTALL_FAILED), texts.text(IDS_ERROR_CAPTION),
                MB_OK | MB_ICONWARNING | MB_SETFOREGROUND);
    return false;
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return true;
}
