#pragma once

// The running Windows reduced to what the removal steps decide on: a
// platform class and a version code, filled once from the OS version record.
struct OsInfo {
  int platformClass = 0;  // 1 oldest 16-bit-hosted subset, 2 consumer, 3 NT family
  int versionCode = 0;

  bool isPlatformClass1() const { return platformClass == 1; }
  bool isConsumerWindows() const { return platformClass == 2; }
  bool isNtFamily() const { return platformClass == 3; }
  bool isVersion(int code) const { return versionCode == code; }
};

// Maps the fields of the OS version record (platform id, major, minor).
OsInfo makeOsInfo(unsigned long platformId, unsigned long majorVersion, unsigned long minorVersion);

// "Win32s", "Win9x", "WinNT", "WinCE" or "Windows" for the About box.
const char* platformClassName(int platformClass);
