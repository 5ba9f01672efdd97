#include <windows.h>

#include "OsInfoWin32.h"

OsInfo readOsInfo() {
  OSVERSIONINFOA version = {};
  version.dwOSVersionInfoSize = sizeof version;
  if (!GetVersionExA(&version)) return OsInfo();
  return makeOsInfo(version.dwPlatformId, version.dwMajorVersion, version.dwMinorVersion);
}
