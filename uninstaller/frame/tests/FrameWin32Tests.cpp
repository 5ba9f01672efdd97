// The frame's Win32 side in-process under Wine: directory codes, texts from
// INI files, and starting the scanner driver's uninstall program.
#include <windows.h>
#include <winspool.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <fstream>
#include <map>
#include <string>
#include <thread>

#include "DirectoryResolver.h"
#include "OsInfoWin32.h"
#include "ScannerUninstall.h"
#include "StringSourceWin32.h"
#include "resource.h"

namespace {

std::string directoryOf(int code) { return resolveDirectoryCode(code, readOsInfo()).directoryPart(); }

bool directoryExists(const std::string& path) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

TEST(DirectoryResolver, EveryDirectoryEndsWithABackslash) {
  const OsInfo os = readOsInfo();
  EXPECT_TRUE(os.isNtFamily());
  for (int code = 2; code <= 35; ++code) {
    if (code == 8) continue;
    PathSpec resolved = resolveDirectoryCode(code, os);
    EXPECT_EQ(resolved.fileName() + resolved.extension(), "") << code;
    std::string directory = resolved.directoryPart();
    if (!directory.empty()) {
      EXPECT_EQ(directory.back(), '\\') << code;
    }
  }
  EXPECT_TRUE(resolveDirectoryCode(0, os).empty());
  EXPECT_TRUE(resolveDirectoryCode(36, os).empty());
}

TEST(DirectoryResolver, KnownDirectoriesMatchTheSystemAnswers) {
  char buffer[MAX_PATH];
  GetModuleFileNameA(nullptr, buffer, sizeof buffer);
  EXPECT_EQ(resolveDirectoryCode(1, readOsInfo()).fullPath(), buffer);
  EXPECT_EQ(directoryOf(2), PathSpec::fromPath(buffer).directoryPart());
  GetWindowsDirectoryA(buffer, sizeof buffer);
  EXPECT_EQ(directoryOf(3), std::string(buffer) + "\\");
  EXPECT_EQ(directoryOf(35), std::string(buffer) + "\\INF\\");
  GetSystemDirectoryA(buffer, sizeof buffer);
  EXPECT_EQ(directoryOf(4), std::string(buffer) + "\\");
  GetCurrentDirectoryA(sizeof buffer, buffer);
  EXPECT_EQ(directoryOf(34), std::string(buffer) + "\\");

  DWORD needed = 0;
  ASSERT_TRUE(GetPrinterDriverDirectoryA(nullptr, nullptr, 1, reinterpret_cast<BYTE*>(buffer), sizeof buffer, &needed));
  EXPECT_EQ(directoryOf(26), std::string(buffer) + "\\");
  EXPECT_EQ(directoryOf(29), directoryOf(28));
  EXPECT_FALSE(directoryOf(28).empty());
  EXPECT_FALSE(directoryOf(6).empty()) << "Desktop";

  std::string color = directoryOf(33);
  ASSERT_FALSE(color.empty());
  EXPECT_TRUE(directoryExists(color)) << color;
}

TEST(DirectoryResolver, TemporaryFileNameIsANewFileWithTheTildePrefix) {
  PathSpec file = resolveDirectoryCode(8, readOsInfo());
  EXPECT_EQ(file.directoryPart(), directoryOf(5));
  EXPECT_EQ(file.fileName().substr(0, 2), "~~");
  EXPECT_NE(GetFileAttributesA(file.fullPath().c_str()), INVALID_FILE_ATTRIBUTES);
  DeleteFileA(file.fullPath().c_str());
}

// Real INI reading and search; the resource texts come from a map.
class IniBackedSource : public StringSourceWin32 {
 public:
  IniBackedSource() : StringSourceWin32(GetModuleHandleA(nullptr)) {}
  std::map<unsigned, std::string> resources;
  std::string loadResourceString(unsigned id) override {
    auto it = resources.find(id);
    return it == resources.end() ? std::string() : it->second;
  }
};

TEST(StringSourceWin32, IndirectTextsReadTheIniFile) {
  const char* fileName = "vivaro_frame_texts.ini";
  {
    std::ofstream ini(fileName);
    ini << "[Messages]\nDone=Fini\\nAu revoir\nEmpty=\n";
  }
  char current[MAX_PATH];
  GetCurrentDirectoryA(sizeof current, current);
  IniBackedSource source;
  source.resources[1] = std::string("@") + fileName + "@Messages@Done";
  source.resources[2] = std::string("@") + current + "\\" + fileName + "@Messages@Done";
  source.resources[3] = std::string("@") + fileName + "@Messages@Missing";
  source.resources[4] = std::string("@") + fileName + "@Messages";
  source.resources[5] = "@no_such_vivaro_file.ini@Messages@Done";
  StringTable texts(source);
  EXPECT_STREQ(texts.text(1), "Fini\nAu revoir");
  EXPECT_STREQ(texts.text(2), "Fini\nAu revoir");
  EXPECT_STREQ(texts.text(3), "");
  EXPECT_STREQ(texts.text(4), "");
  EXPECT_STREQ(texts.text(5), "");
  DeleteFileA(fileName);
}

// Answers the first message box that appears with OK and keeps its texts.
class MessageBoxWatcher {
 public:
  MessageBoxWatcher() : thread_([this] { watch(); }) {}
  ~MessageBoxWatcher() {
    stop_ = true;
    thread_.join();
  }
  std::string caption, text;

 private:
  void watch() {
    for (int attempt = 0; attempt < 1000 && !stop_; ++attempt) {
      HWND box = FindWindowA("#32770", nullptr);
      if (box && GetWindowThreadProcessId(box, nullptr) != GetCurrentThreadId()) {
        char buffer[1024] = {};
        GetWindowTextA(box, buffer, sizeof buffer);
        caption = buffer;
        GetDlgItemTextA(box, 0xFFFF, buffer, sizeof buffer);
        text = buffer;
        PostMessageA(box, WM_COMMAND, IDOK, 0);
        return;
      }
      Sleep(20);
    }
  }
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

class ScannerUninstallTest : public ::testing::Test {
 protected:
  const std::string guid = "{D1E2F3A4-0000-4000-8000-VIVAROTEST01}";
  std::string key = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + guid;

  void SetUp() override {
    source_.resources[IDS_TITLE] = "D\xE9sinstallation de l'imprimante";
    source_.resources[IDS_FINISHED] = "La d\xE9sinstallation de l'imprimante est termin\xE9" "e !";
    source_.resources[IDS_SCANNER_UNINSTALL_FAILED] = "La d\xE9sinstallation du Pilote Scanner a \xE9" "chou\xE9 !";
    source_.resources[IDS_ERROR_CAPTION] = "Erreur !";
  }
  void TearDown() override { RegDeleteKeyA(HKEY_LOCAL_MACHINE, key.c_str()); }

  void registerUninstallString(const std::string& value) {
    HKEY created = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &created,
                              nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(created, "UninstallString", 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>(value.size() + 1));
    RegCloseKey(created);
  }

  IniBackedSource source_;
  StringTable texts_{source_};
};

TEST_F(ScannerUninstallTest, RunsTheRegisteredCommandWithTheUnattendedSwitches) {
  char current[MAX_PATH], system[MAX_PATH];
  GetCurrentDirectoryA(sizeof current, current);
  GetSystemDirectoryA(system, sizeof system);
  std::string output = std::string(current) + "\\vivaro_scanner_uninstall.txt";
  DeleteFileA(output.c_str());
  registerUninstallString(std::string(system) + "\\cmd.exe /c echo>" + output);

  EXPECT_TRUE(startScannerUninstall(guid, texts_));

  std::string line;
  for (int attempt = 0; attempt < 200 && line.empty(); ++attempt) {
    Sleep(50);
    std::ifstream written(output);
    std::getline(written, line);
  }
  EXPECT_EQ(line.substr(0, 17), "/z auto-uninstall");
  DeleteFileA(output.c_str());
}

TEST_F(ScannerUninstallTest, WithoutARegisteredCommandTheRemovalIsReportedFinished) {
  MessageBoxWatcher watcher;
  EXPECT_FALSE(startScannerUninstall(guid, texts_));
  Sleep(100);
  EXPECT_EQ(watcher.caption, source_.resources[IDS_TITLE]);
  EXPECT_EQ(watcher.text, source_.resources[IDS_FINISHED]);

  registerUninstallString("");
  MessageBoxWatcher secondWatcher;
  EXPECT_FALSE(startScannerUninstall(guid, texts_));
  Sleep(100);
  EXPECT_EQ(secondWatcher.text, source_.resources[IDS_FINISHED]);
}

TEST_F(ScannerUninstallTest, ACommandThatCannotStartIsReportedAsAnError) {
  registerUninstallString("C:\\no\\such\\vivaro_scanner_unins.exe");
  MessageBoxWatcher watcher;
  EXPECT_FALSE(startScannerUninstall(guid, texts_));
  Sleep(100);
  EXPECT_EQ(watcher.caption, "Erreur !");
  EXPECT_EQ(watcher.text, source_.resources[IDS_SCANNER_UNINSTALL_FAILED]);
}

}  // namespace
