#pragma once
// What the TWAIN tests share: the files a data source installation puts in
// the Windows folder of the test prefix, and the source's registry key.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "twain.h"

namespace twaintest {

std::string windowsFolder();
std::string programFolder();  // where the tests and the binaries are built
std::string settingsFile();   // <Windows>\TWAIN_32\ZVP4\ZVP4T___.INI
std::string translationFile();  // <Windows>\twain_32\ZVP4\ZVP4S___.cfg

bool createFolders(const std::string& path);
bool writeTextFile(const std::string& path, const std::string& contents);
std::string readTextFile(const std::string& path);

// The shipped translation file in the Windows folder (or none at all).
void installTranslationFile();
void removeTranslationFile();

// The registry value "locale" of the source; empty removes it.
void setRegistryLocale(const std::string& locale);

// The application identity of the tests.
TW_IDENTITY applicationIdentity();

// Answers the next message box with this caption from a thread of its own:
// keeps the box's text and presses OK, so the call that shows it returns.
// A window with the same caption that is not the box can be passed as besides.
class MessageBoxAnswerer {
public:
    explicit MessageBoxAnswerer(const std::string& caption, DWORD timeoutMs = 10000, HWND besides = nullptr);
    ~MessageBoxAnswerer();
    // Waits for the box to be answered (or the time-out); empty when none came.
    std::string text();

private:
    std::string text_;
    std::thread watcher_;
};

// A test that loads the data source itself and calls its DS_Entry as
// the application of applicationIdentity() (Id 1), without a manager.
class LoadedSourceTest : public ::testing::Test {
protected:
    HMODULE source = nullptr;
    DSENTRYPROC entry = nullptr;
    TW_IDENTITY application = applicationIdentity();
    TW_IDENTITY identity{};

    LoadedSourceTest() { application.Id = 1; }
    void TearDown() override { unload(); }

    // The shipped translations, no locale value, the settings folder.
    void prepareWindowsFolder();
    void load(const std::string& path = "ZVP4T___.ds");
    void unload();
    TW_UINT16 call(TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data);
    // The condition code that DAT_STATUS reports.
    TW_UINT16 status();
};

}  // namespace twaintest
