#include "TwainTestSupport.h"

#include <string.h>

#include <fstream>

namespace twaintest {

std::string windowsFolder()
{
    char folder[MAX_PATH];
    GetWindowsDirectoryA(folder, MAX_PATH);
    return folder;
}

std::string programFolder()
{
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder = path;
    return folder.substr(0, folder.find_last_of('\\'));
}

std::string settingsFile()
{
    return windowsFolder() + "\\TWAIN_32\\ZVP4\\ZVP4T___.INI";
}

std::string translationFile()
{
    return windowsFolder() + "\\twain_32\\ZVP4\\ZVP4S___.cfg";
}

std::string temporaryFile(const std::string& name)
{
    char folder[MAX_PATH];
    GetTempPathA(sizeof folder, folder);
    return folder + name;
}

std::string writePlainPage(const std::string& name, char shade)
{
    std::string path = temporaryFile(name);
    std::ofstream out(path, std::ios::binary);
    out << "P5\n85 110\n255\n" << std::string(85 * 110, shade);
    return path;
}

bool createFolders(const std::string& path)
{
    for (size_t separator = path.find('\\', 3); separator != std::string::npos;
         separator = path.find('\\', separator + 1))
        CreateDirectoryA(path.substr(0, separator).c_str(), nullptr);
    return CreateDirectoryA(path.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

bool writeTextFile(const std::string& path, const std::string& contents)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    bool ok = WriteFile(file, contents.data(), static_cast<DWORD>(contents.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == contents.size();
}

std::string readTextFile(const std::string& path)
{
    std::string contents;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return contents;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0)
        contents.append(buffer, read);
    CloseHandle(file);
    return contents;
}

void installTranslationFile()
{
    createFolders(windowsFolder() + "\\twain_32\\ZVP4");
    CopyFileA((programFolder() + "\\ZVP4S___.cfg").c_str(), translationFile().c_str(), FALSE);
}

void removeTranslationFile()
{
    DeleteFileA(translationFile().c_str());
}

void setRegistryLocale(const std::string& locale)
{
    HKEY key;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\ARVEL NORVANE\\Vivaro 5310MF", 0, nullptr, 0, KEY_ALL_ACCESS,
                        nullptr, &key, nullptr) != ERROR_SUCCESS)
        return;
    if (locale.empty())
        RegDeleteValueA(key, "locale");
    else
        RegSetValueExA(key, "locale", 0, REG_SZ, reinterpret_cast<const BYTE*>(locale.c_str()),
                       static_cast<DWORD>(locale.size() + 1));
    RegCloseKey(key);
}

TW_IDENTITY applicationIdentity()
{
    TW_IDENTITY identity{};
    identity.Version.MajorNum = 1;
    identity.Version.Language = TWLG_USA;
    identity.Version.Country = TWCY_USA;
    strcpy(identity.Version.Info, "test");
    identity.ProtocolMajor = TWON_PROTOCOLMAJOR;
    identity.ProtocolMinor = TWON_PROTOCOLMINOR;
    identity.SupportedGroups = DG_CONTROL | DG_IMAGE;
    strcpy(identity.Manufacturer, "Vivaro tests");
    strcpy(identity.ProductFamily, "TWAIN tests");
    strcpy(identity.ProductName, "Vivaro test application");
    return identity;
}

MessageBoxAnswerer::MessageBoxAnswerer(const std::string& caption, DWORD timeoutMs, HWND besides, int button)
    : watcher_([this, caption, timeoutMs, besides, button] {
          DWORD start = GetTickCount();
          while (GetTickCount() - start < timeoutMs) {
              for (HWND box = FindWindowExA(nullptr, nullptr, "#32770", caption.c_str()); box;
                   box = FindWindowExA(nullptr, box, "#32770", caption.c_str())) {
                  // A dialog with the box's caption, such as a progress window, has no OK and no text.
                  if (box == besides || !GetDlgItem(box, IDOK) || !GetDlgItem(box, 0xFFFF))
                      continue;
                  char text[1024] = "";
                  GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
                  text_ = text;
                  PostMessageA(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
                  return;
              }
              Sleep(50);
          }
      })
{
}

MessageBoxAnswerer::~MessageBoxAnswerer()
{
    if (watcher_.joinable())
        watcher_.join();
}

std::string MessageBoxAnswerer::text()
{
    if (watcher_.joinable())
        watcher_.join();
    return text_;
}

void LoadedSourceTest::prepareWindowsFolder()
{
    installTranslationFile();
    setRegistryLocale("");
    createFolders(windowsFolder() + "\\TWAIN_32\\ZVP4");
}

void LoadedSourceTest::load(const std::string& path)
{
    source = LoadLibraryA(path.c_str());
    ASSERT_NE(source, nullptr) << GetLastError();
    entry = reinterpret_cast<DSENTRYPROC>(reinterpret_cast<void*>(GetProcAddress(source, "DS_Entry")));
    ASSERT_NE(entry, nullptr);
}

void LoadedSourceTest::unload()
{
    if (source)
        FreeLibrary(source);
    source = nullptr;
    entry = nullptr;
}

TW_UINT16 LoadedSourceTest::call(TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data)
{
    return entry(&application, dg, dat, msg, data);
}

TW_UINT16 LoadedSourceTest::status()
{
    TW_STATUS answer{0xdead, 0xbeef};
    EXPECT_EQ(call(DG_CONTROL, DAT_STATUS, MSG_GET, &answer), TWRC_SUCCESS);
    return answer.ConditionCode;
}

HMODULE ManagerSessionTest::manager = nullptr;
DSMENTRYPROC ManagerSessionTest::dsmEntry = nullptr;
HWND ManagerSessionTest::applicationWindow = nullptr;

void ManagerSessionTest::installUnderManager(const std::string& emulator, std::initializer_list<const char*> libraries)
{
    std::string folder = windowsFolder() + "\\twain_64";
    createFolders(folder);
    ASSERT_TRUE(CopyFileA((programFolder() + "\\ZVP4T___.ds").c_str(), (folder + "\\sane.ds").c_str(), FALSE));
    for (const char* library : libraries)
        ASSERT_TRUE(CopyFileA((programFolder() + library).c_str(), (folder + library).c_str(), FALSE)) << library;
    installTranslationFile();
    setRegistryLocale("");
    createFolders(windowsFolder() + "\\TWAIN_32\\ZVP4");
    SetEnvironmentVariableA("ZVP4_EMULATOR", emulator.c_str());

    manager = LoadLibraryA("twain_32.dll");
    ASSERT_NE(manager, nullptr);
    dsmEntry = reinterpret_cast<DSMENTRYPROC>(reinterpret_cast<void*>(GetProcAddress(manager, "DSM_Entry")));
    ASSERT_NE(dsmEntry, nullptr);
    applicationWindow = CreateWindowA("STATIC", "TWAIN test application", WS_OVERLAPPED, 0, 0, 100, 100, nullptr,
                                      nullptr, nullptr, nullptr);
}

void ManagerSessionTest::TearDownTestSuite()
{
    if (applicationWindow)
        DestroyWindow(applicationWindow);
    applicationWindow = nullptr;
    SetEnvironmentVariableA("ZVP4_EMULATOR", nullptr);
}

void ManagerSessionTest::SetUp()
{
    ASSERT_NE(dsmEntry, nullptr);
    ASSERT_EQ(toManager(DG_CONTROL, DAT_PARENT, MSG_OPENDSM, &applicationWindow), TWRC_SUCCESS);
    managerOpen = true;
}

void ManagerSessionTest::TearDown()
{
    if (managerOpen)
        toManager(DG_CONTROL, DAT_PARENT, MSG_CLOSEDSM, &applicationWindow);
}

void ManagerSessionTest::endSession()
{
    if (!managerOpen)
        return;
    disable();
    toManager(DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, &source);
    toManager(DG_CONTROL, DAT_PARENT, MSG_CLOSEDSM, &applicationWindow);
}

TW_UINT16 ManagerSessionTest::toManager(TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data)
{
    return dsmEntry(&application, nullptr, dg, dat, msg, data);
}

TW_UINT16 ManagerSessionTest::toSource(TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data)
{
    return dsmEntry(&application, &source, dg, dat, msg, data);
}

TW_UINT16 ManagerSessionTest::sourceStatus()
{
    TW_STATUS status{0xdead, 0};
    EXPECT_EQ(toSource(DG_CONTROL, DAT_STATUS, MSG_GET, &status), TWRC_SUCCESS);
    return status.ConditionCode;
}

void ManagerSessionTest::openFirstSource()
{
    ASSERT_EQ(toManager(DG_CONTROL, DAT_IDENTITY, MSG_GETFIRST, &source), TWRC_SUCCESS);
    ASSERT_EQ(toManager(DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, &source), TWRC_SUCCESS);
}

TW_UINT16 ManagerSessionTest::setOneValue(TW_UINT16 cap, TW_UINT16 itemType, TW_UINT32 item)
{
    HGLOBAL container = GlobalAlloc(GHND, sizeof(TW_ONEVALUE));
    auto* value = static_cast<TW_ONEVALUE*>(GlobalLock(container));
    value->ItemType = itemType;
    value->Item = item;
    GlobalUnlock(container);
    TW_CAPABILITY capability{cap, TWON_ONEVALUE, container};
    TW_UINT16 result = toSource(DG_CONTROL, DAT_CAPABILITY, MSG_SET, &capability);
    GlobalFree(container);
    return result;
}

TW_UINT16 ManagerSessionTest::enable(TW_BOOL showUI)
{
    TW_USERINTERFACE userInterface{showUI, FALSE, applicationWindow};
    return toSource(DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS, &userInterface);
}

TW_UINT16 ManagerSessionTest::disable()
{
    TW_USERINTERFACE userInterface{FALSE, FALSE, applicationWindow};
    return toSource(DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS, &userInterface);
}

TW_UINT16 ManagerSessionTest::runMessageLoopForRequest(DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < timeoutMs) {
        MSG message{};
        if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            Sleep(10);
            continue;
        }
        TW_EVENT event{&message, MSG_NULL};
        TW_UINT16 result = toSource(DG_CONTROL, DAT_EVENT, MSG_PROCESSEVENT, &event);
        if (result == TWRC_DSEVENT && event.TWMessage != MSG_NULL)
            return event.TWMessage;
        if (result == TWRC_NOTDSEVENT) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
    return MSG_NULL;
}

}  // namespace twaintest
