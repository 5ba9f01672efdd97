#include "OsInfo.h"

namespace {

int consumerVersionCode(unsigned long minorVersion) {
  switch (minorVersion) {
    case 0: return 2;
    case 10: return 3;
    case 90: return 7;
    default: return 0;
  }
}

int ntVersionCode(unsigned long majorVersion, unsigned long minorVersion) {
  switch (majorVersion) {
    case 3: return 4;
    case 4: return 5;
    case 5: return minorVersion == 1 ? 8 : 6;
    default: return 0;
  }
}

}  // namespace

OsInfo makeOsInfo(unsigned long platformId, unsigned long majorVersion, unsigned long minorVersion) {
  OsInfo info;
  switch (platformId) {
    case 0:
      info.platformClass = 1;
      info.versionCode = 1;
      break;
    case 1:
      info.platformClass = 2;
      info.versionCode = consumerVersionCode(minorVersion);
      break;
    case 2:
      info.platformClass = 3;
      info.versionCode = ntVersionCode(majorVersion, minorVersion);
      break;
    default:
      break;
  }
  return info;
}

const char* platformClassName(int platformClass) {
  switch (platformClass) {
    case 1: return "Win32s";
    case 2: return "Win9x";
    case 3: return "WinNT";
    case 4: return "WinCE";
    default: return "Windows";
  }
}
