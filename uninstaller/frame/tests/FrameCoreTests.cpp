#include <gtest/gtest.h>

#include "DirectoryCodes.h"
#include "OsInfo.h"
#include "PathParts.h"

namespace {

struct OsCase {
  unsigned long platformId, majorVersion, minorVersion;
  int platformClass, versionCode;
};

TEST(OsInfo, MapsEveryPlatformAndVersion) {
  const OsCase cases[] = {
      {0, 3, 10, 1, 1},  {1, 4, 0, 2, 2},  {1, 4, 10, 2, 3}, {1, 4, 90, 2, 7}, {1, 4, 5, 2, 0},
      {2, 3, 51, 3, 4},  {2, 4, 0, 3, 5},  {2, 5, 0, 3, 6},  {2, 5, 1, 3, 8},  {2, 5, 2, 3, 6},
      {2, 6, 0, 3, 0},   {2, 10, 0, 3, 0}, {3, 4, 0, 0, 0},
  };
  for (const OsCase& c : cases) {
    OsInfo info = makeOsInfo(c.platformId, c.majorVersion, c.minorVersion);
    EXPECT_EQ(info.platformClass, c.platformClass) << c.platformId << " " << c.majorVersion << "." << c.minorVersion;
    EXPECT_EQ(info.versionCode, c.versionCode) << c.platformId << " " << c.majorVersion << "." << c.minorVersion;
  }
  EXPECT_TRUE(makeOsInfo(1, 4, 0).isConsumerWindows());
  EXPECT_TRUE(makeOsInfo(2, 5, 1).isNtFamily());
  EXPECT_TRUE(makeOsInfo(0, 0, 0).isPlatformClass1());
  EXPECT_STREQ(platformClassName(3), "WinNT");
  EXPECT_STREQ(platformClassName(0), "Windows");
}

TEST(PathSpec, SplitsIntoDriveDirectoryNameAndExtension) {
  PathSpec path = PathSpec::fromPath("C:\\Program Files\\Vivaro\\uninstaller.exe");
  EXPECT_EQ(path.drive(), "C:");
  EXPECT_EQ(path.directory(), "\\Program Files\\Vivaro\\");
  EXPECT_EQ(path.fileName(), "uninstaller");
  EXPECT_EQ(path.extension(), ".exe");
  EXPECT_EQ(path.directoryPart(), "C:\\Program Files\\Vivaro\\");
  EXPECT_EQ(path.fullPath(), "C:\\Program Files\\Vivaro\\uninstaller.exe");

  PathSpec dotted = PathSpec::fromPath("D:\\a.b\\README");
  EXPECT_EQ(dotted.directory(), "\\a.b\\");
  EXPECT_EQ(dotted.fileName(), "README");
  EXPECT_EQ(dotted.extension(), "");

  PathSpec bare = PathSpec::fromPath("zwininit.ini");
  EXPECT_EQ(bare.drive(), "");
  EXPECT_EQ(bare.directory(), "");
  EXPECT_EQ(bare.fileName(), "zwininit");

  PathSpec hidden = PathSpec::fromPath("C:\\x\\.profile");
  EXPECT_EQ(hidden.fileName(), ".profile");
  EXPECT_EQ(hidden.extension(), "");
}

TEST(PathSpec, DirectoriesAlwaysEndWithBackslash) {
  EXPECT_EQ(PathSpec::fromDirectory("C:\\WINDOWS").directoryPart(), "C:\\WINDOWS\\");
  EXPECT_EQ(PathSpec::fromDirectory("C:\\WINDOWS\\").directoryPart(), "C:\\WINDOWS\\");
  EXPECT_TRUE(PathSpec::fromDirectory("").empty());
  EXPECT_EQ(PathSpec::fromDirectory("C:\\WINDOWS").fileName(), "");

  PathSpec inf = PathSpec::fromDirectory("C:\\WINDOWS");
  inf.appendDirectory("INF");
  EXPECT_EQ(inf.directoryPart(), "C:\\WINDOWS\\INF\\");

  PathSpec tooLong = PathSpec::fromDirectory("C:\\" + std::string(400, 'd'));
  EXPECT_EQ(tooLong.directory().size(), PathSpec::kPartLimit);
  EXPECT_EQ(tooLong.directory().back(), '\\');
}

TEST(PathSpec, PartsAreCutToTheBufferLimit) {
  PathSpec path = PathSpec::fromPath("C:\\dir\\" + std::string(300, 'n') + "." + std::string(300, 'e'));
  EXPECT_EQ(path.fileName().size(), PathSpec::kPartLimit);
  EXPECT_EQ(path.extension().size(), PathSpec::kPartLimit);
}

TEST(DirectoryCodes, TableMatchesTheWellKnownDirectories) {
  EXPECT_EQ(directoryCodeEntry(29).source, directoryCodeEntry(28).source);
  EXPECT_EQ(directoryCodeEntry(29).environment, directoryCodeEntry(28).environment);
  EXPECT_EQ(directoryCodeEntry(26).environment, PrinterEnvironment::Local);
  EXPECT_EQ(directoryCodeEntry(27).environment, PrinterEnvironment::Windows40);
  EXPECT_STREQ(printerEnvironmentName(PrinterEnvironment::Windows40), "Windows 4.0");
  EXPECT_EQ(printerEnvironmentName(PrinterEnvironment::Local), nullptr);

  const std::pair<int, int> shellFolders[] = {{6, 0},   {7, 6},   {9, 26},  {10, 32}, {11, 33}, {12, 20},
                                              {13, 34}, {14, 19}, {15, 5},  {16, 27}, {17, 2},  {18, 8},
                                              {19, 9},  {20, 11}, {21, 7},  {22, 29}, {23, 24}, {24, 30},
                                              {25, 21}, {30, 38}, {31, 4},  {32, 23}};
  for (auto [code, csidl] : shellFolders) {
    EXPECT_EQ(directoryCodeEntry(code).source, DirectorySource::ShellFolder) << code;
    EXPECT_EQ(directoryCodeEntry(code).shellFolder, csidl) << code;
  }
  EXPECT_EQ(directoryCodeEntry(33).source, DirectorySource::ColorDirectory);
  EXPECT_EQ(directoryCodeEntry(35).source, DirectorySource::WindowsInfDirectory);
  EXPECT_EQ(directoryCodeEntry(0).source, DirectorySource::None);
  EXPECT_EQ(directoryCodeEntry(36).source, DirectorySource::None);
  EXPECT_EQ(directoryCodeEntry(-1).source, DirectorySource::None);
  EXPECT_TRUE(directoryCodeYieldsFile(1));
  EXPECT_TRUE(directoryCodeYieldsFile(8));
  EXPECT_FALSE(directoryCodeYieldsFile(2));
}

}  // namespace
