#include "ScannerUninstallCommand.h"

std::string scannerUninstallKey(const std::string& productGuid) {
  return "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + productGuid;
}

std::string scannerUninstallCommand(const std::string& uninstallString) {
  return uninstallString + " /z auto-uninstall";
}
