#include "Win32RestartPlatform.h"

#include "resource.h"

namespace {

constexpr DWORD kManagerAllAccess = 0xF003F;
constexpr DWORD kServiceAllAccess = 0xF01FF;

// Runs action on the "Spooler" service; false when it cannot be opened.
template <typename Action>
bool withSpoolerService(Action action) {
  SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, kManagerAllAccess);
  if (!manager) return false;
  bool result = false;
  if (SC_HANDLE service = OpenServiceA(manager, "Spooler", kServiceAllAccess)) {
    result = action(service);
    CloseServiceHandle(service);
  }
  CloseServiceHandle(manager);
  return result;
}

bool stopPending(SC_HANDLE service) {
  SERVICE_STATUS status = {};
  return QueryServiceStatus(service, &status) && status.dwCurrentState == SERVICE_STOP_PENDING;
}

// Long enough for the spooler to stop; the phases wait without blocking
// before they get here, the ends of the program do not.
constexpr DWORD kStopWaitMs = 10000;

}  // namespace

bool stopSpoolerService() {
  return withSpoolerService([](SC_HANDLE service) {
    SERVICE_STATUS status = {};
    return ControlService(service, SERVICE_CONTROL_STOP, &status) != FALSE;
  });
}

bool startSpoolerService() {
  return withSpoolerService([](SC_HANDLE service) {
    // A service that is still stopping refuses to start.
    for (DWORD waited = 0; waited < kStopWaitMs && stopPending(service); waited += 100) Sleep(100);
    return StartServiceA(service, 0, nullptr) != FALSE || GetLastError() == ERROR_SERVICE_ALREADY_RUNNING;
  });
}

bool spoolerStopPending() { return withSpoolerService(stopPending); }

bool Win32RestartPlatform::CloseConsumerSpooler() {
  HWND spooler = FindWindowA("SpoolProcessClass", nullptr);
  if (!spooler) return false;
  SendMessageA(spooler, WM_CLOSE, 0, 0);
  Sleep(1000);
  return true;
}

bool Win32RestartPlatform::RestartDirectly() { return ExitWindowsEx(EWX_REBOOT, 0) != FALSE; }

bool Win32RestartPlatform::PrivilegedRestart() {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) return false;
  TOKEN_PRIVILEGES privileges = {};
  privileges.PrivilegeCount = 1;
  privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
  bool enabled = LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege", &privileges.Privileges[0].Luid) &&
                 AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr) &&
                 GetLastError() == ERROR_SUCCESS;
  CloseHandle(token);
  return enabled && ExitWindowsEx(EWX_REBOOT, 0) != FALSE;
}

void Win32RestartPlatform::ShowFinished() {
  MessageBoxA(owner_, texts_.text(IDS_FINISHED), texts_.text(IDS_TITLE), MB_OK | MB_SETFOREGROUND);
}

bool Win32RestartPlatform::AskRestart() {
  return MessageBoxA(owner_, texts_.text(IDS_RESTART_QUESTION), texts_.text(IDS_TITLE),
                     MB_YESNO | MB_ICONQUESTION | MB_SETFOREGROUND) == IDYES;
}

void Win32RestartPlatform::ShowRestartFailed() {
  MessageBoxA(owner_, texts_.text(IDS_RESTART_FAILED), texts_.text(IDS_TITLE), MB_OK | MB_SETFOREGROUND);
}
