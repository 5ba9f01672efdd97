// The system side of the loading steps, the restart steps and the masking
// tool, in process under Wine. Conformance tests: they hold on Windows for
// an administrator too.
#include "LoadingDialog.h"
#include "PackagePrograms.h"
#include "Win32MaskingToolPlatform.h"
#include "Win32RestartPlatform.h"

#include <gtest/gtest.h>

namespace {

DWORD SpoolerState()
{
    SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT);
    DWORD state = 0;
    if (SC_HANDLE service = OpenServiceA(manager, "Spooler", SERVICE_QUERY_STATUS)) {
        SERVICE_STATUS status = {};
        if (QueryServiceStatus(service, &status))
            state = status.dwCurrentState;
        CloseServiceHandle(service);
    }
    CloseServiceHandle(manager);
    return state;
}

bool WaitForSpooler(DWORD state)
{
    for (int i = 0; i < 100 && SpoolerState() != state; ++i)
        Sleep(50);
    return SpoolerState() == state;
}

}  // namespace

TEST(Win32LoadingPlatform, TheTestRunsAsAnAdministrator)
{
    // Wine's user is in the built-in Administrators group.
    EXPECT_TRUE(Win32LoadingPlatform().IsAdministrator());
}

TEST(Win32LoadingPlatform, ClosingThePackagesProgramsClosesTheirWindows)
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = kPackageProgramWindows[0].windowClass;
    ASSERT_TRUE(RegisterClassA(&windowClass));
    HWND monitor = CreateWindowA(windowClass.lpszClassName, "monitor", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                                 windowClass.hInstance, nullptr);
    ASSERT_NE(nullptr, monitor);
    Win32LoadingPlatform().ClosePackagePrograms();
    // DefWindowProc destroys a window on WM_CLOSE.
    EXPECT_FALSE(IsWindow(monitor));
    UnregisterClassA(windowClass.lpszClassName, windowClass.hInstance);
}

TEST(Win32RestartPlatform, TheSpoolerStopsAndStartsAndAStartedSpoolerCountsAsStarted)
{
    ASSERT_TRUE(startSpoolerService());
    ASSERT_TRUE(WaitForSpooler(SERVICE_RUNNING));
    EXPECT_TRUE(startSpoolerService()) << "error 1056 counts as started";
    EXPECT_TRUE(stopSpoolerService());
    EXPECT_TRUE(WaitForSpooler(SERVICE_STOPPED));
    EXPECT_FALSE(stopSpoolerService()) << "a stopped service takes no stop control";
    EXPECT_TRUE(startSpoolerService());
    EXPECT_TRUE(WaitForSpooler(SERVICE_RUNNING));
}

TEST(Win32MaskingToolPlatform, OemPathsInEnumerationOrderAndTheToolWaitedFor)
{
    const char key[] = "SOFTWARE\\ARVEL NORVANE\\OEM\\OEMPaths";
    HKEY paths = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyA(HKEY_LOCAL_MACHINE, key, &paths));
    RegSetValueExA(paths, "First", 0, REG_SZ, reinterpret_cast<const BYTE*>("C:\\one"), 7);
    DWORD number = 5;
    RegSetValueExA(paths, "Number", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number);
    RegSetValueExA(paths, "Second", 0, REG_SZ, reinterpret_cast<const BYTE*>("C:\\two\\"), 8);
    RegCloseKey(paths);

    Win32MaskingToolPlatform platform;
    EXPECT_EQ((std::vector<std::string>{"C:\\one", "C:\\two\\"}), platform.OemPathDirectories());
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, key);
    EXPECT_TRUE(platform.OemPathDirectories().empty());

    char system[MAX_PATH] = "";
    GetSystemDirectoryA(system, sizeof system);
    const std::string command = std::string(system) + "\\cmd.exe";
    ASSERT_TRUE(platform.FileExists(command));
    EXPECT_FALSE(platform.FileExists(system)) << "a directory is no tool";
    MaskingToolPlatform::Process process = platform.StartProcess(command, " /c exit 3");
    ASSERT_NE(0u, process);
    for (int i = 0; i < 200 && platform.ProcessStillActive(process); ++i)
        Sleep(50);
    EXPECT_FALSE(platform.ProcessStillActive(process));
    platform.ReleaseProcess(process);
    EXPECT_EQ(0u, platform.StartProcess(std::string(system) + "\\no-such-tool.exe", " /d"));
}
