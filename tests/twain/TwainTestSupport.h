#pragma once
// What the TWAIN tests share: the files a data source installation puts in
// the Windows folder of the test prefix, the source's registry key, and a
// session through Wine's data source manager.
#include <windows.h>

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <thread>

#include "twain.h"

namespace twaintest {

std::string windowsFolder();
std::string programFolder();  // where the tests and the binaries are built
std::string settingsFile();   // <Windows>\TWAIN_32\ZVP4\ZVP4T___.INI
std::string translationFile();  // <Windows>\twain_32\ZVP4\ZVP4S___.cfg

std::string temporaryFile(const std::string& name);  // in the temporary folder

// An emulator page: a gray letter page of 10 dpi, all one shade.
std::string writePlainPage(const std::string& name, char shade);

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
// keeps the box's text and presses the button (OK unless told otherwise),
// so the call that shows it returns. Dialogs of the same caption without OK
// and text are passed over; a window with the same caption that is not the
// box can also be passed as besides.
class MessageBoxAnswerer {
public:
    explicit MessageBoxAnswerer(const std::string& caption, DWORD timeoutMs = 10000, HWND besides = nullptr,
                                int button = IDOK);
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

// A test that reaches the source through Wine's twain_32, as an application
// with a window of its own. Wine's manager scans no folder: on 64-bit it
// loads only <Windows>\twain_64\sane.ds, so the source is installed under
// that name. Wine never unloads the source, and the source picks its device
// files once per process, so the emulator is chosen once per suite.
class ManagerSessionTest : public ::testing::Test {
protected:
    static HMODULE manager;
    static DSMENTRYPROC dsmEntry;
    static HWND applicationWindow;
    TW_IDENTITY application = applicationIdentity();
    TW_IDENTITY source{};
    bool managerOpen = false;

    // For SetUpTestSuite: the source with these libraries beside it (each
    // "\\name.dll"), the emulator configuration, the manager, the window.
    static void installUnderManager(const std::string& emulator, std::initializer_list<const char*> libraries);
    static void TearDownTestSuite();

    // Opens the manager, and closes it again when the test opened it.
    void SetUp() override;
    void TearDown() override;
    // Disables and closes the source and closes the manager, whatever state
    // the test left them in; the answers do not matter.
    void endSession();

    TW_UINT16 toManager(TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data);
    TW_UINT16 toSource(TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data);
    TW_UINT16 sourceStatus();
    void openFirstSource();
    // MSG_SET of a capability to one value.
    TW_UINT16 setOneValue(TW_UINT16 cap, TW_UINT16 itemType, TW_UINT32 item);
    TW_UINT16 enable(TW_BOOL showUI);
    TW_UINT16 disable();

    // The application's message loop: every message goes to the source
    // first, as TWAIN asks, and the manager hands the source's requests back
    // through it. Returns the first request, or MSG_NULL when none came.
    TW_UINT16 runMessageLoopForRequest(DWORD timeoutMs = 5000);
};

}  // namespace twaintest
