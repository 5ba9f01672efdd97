#include "LoadingDialog.h"

#include <commctrl.h>

#include "DirectoryResolver.h"
#include "PackagePrograms.h"
#include "ScriptDiscovery.h"
#include "ScriptLoading.h"
#include "Trace.h"
#include "UninstallerMessages.h"
#include "Win32RestartPlatform.h"
#include "resource.h"

namespace {

std::vector<std::string> scriptDirectories(const OsInfo& os) {
  return ScriptSearchDirectories(resolveDirectoryCode(26, os).directoryPart(),
                                 resolveDirectoryCode(2, os).directoryPart(),
                                 resolveDirectoryCode(4, os).directoryPart());
}

// A program that does not answer must not hold the uninstall up for good.
constexpr UINT kCloseTimeoutMs = 5000;

std::string removalRecordPath(const OsInfo& os) {
  const std::string driverDirectory = resolveDirectoryCode(26, os).directoryPart();
  return driverDirectory.empty() ? std::string() : driverDirectory + kRemovalRecordName;
}

}  // namespace

bool Win32LoadingPlatform::IsAdministrator() {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return false;
  DWORD size = 0;
  GetTokenInformation(token, TokenGroups, nullptr, 0, &size);
  std::vector<BYTE> buffer(size);
  bool member = false;
  SID_IDENTIFIER_AUTHORITY ntAuthority = SECURITY_NT_AUTHORITY;
  PSID administrators = nullptr;
  if (size && GetTokenInformation(token, TokenGroups, buffer.data(), size, &size) &&
      AllocateAndInitializeSid(&ntAuthority, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0,
                               0, &administrators)) {
    const auto* groups = reinterpret_cast<const TOKEN_GROUPS*>(buffer.data());
    for (DWORD i = 0; i < groups->GroupCount && !member; ++i) member = EqualSid(groups->Groups[i].Sid, administrators);
    FreeSid(administrators);
  }
  CloseHandle(token);
  return member;
}

void Win32LoadingPlatform::ClosePackagePrograms() {
  for (const PackageProgramWindow& program : kPackageProgramWindows) {
    if (HWND window = FindWindowA(program.windowClass, nullptr)) {
      DWORD_PTR result = 0;
      SendMessageTimeoutA(window, WM_CLOSE, 0, program.closeParameter, SMTO_ABORTIFHUNG, kCloseTimeoutMs, &result);
    }
  }
  if (UINT closeMessage = RegisterWindowMessageA(kUninstallCloseMessage))
    PostMessageA(HWND_BROADCAST, closeMessage, 0, 0);
}

bool Win32LoadingPlatform::StopSpooler() { return stopSpoolerService(); }
bool Win32LoadingPlatform::StartSpooler() { return startSpoolerService(); }

LoadingDialog::LoadingDialog(UninstallDatabase& database, const CommandLineSwitches& switches, const OsInfo& os,
                             StringTable& texts)
    : texts_(texts),
      sequence_(database, os, PrinterFilterFromSwitches(switches),
                LoadingSources{scriptDirectories(os), lister_, storage_, spooler_, removalRecordPath(os)}, platform_,
                *this, writeTrace) {}

INT_PTR LoadingDialog::run(HWND owner) {
  const INT_PTR result = DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_LOADING), owner,
                                         sharedDialogProcedure,
                                         reinterpret_cast<LPARAM>(static_cast<DialogObject*>(this)));
  // A WM_QUIT ends the dialog without its sequence.
  sequence_.StartSpoolerIfStopped();
  return result;
}

void LoadingDialog::initialise() {
  SetWindowTextA(window_, texts_.text(IDS_LOADING_CAPTION));
  SetDlgItemTextA(window_, IDC_LOADING_TEXT, texts_.text(IDS_LOADING_TEXT));
  HWND bar = GetDlgItem(window_, IDC_LOADING_PROGRESS);
  SendMessageA(bar, PBM_SETRANGE, 0, MAKELPARAM(LoadingBar::kMinimum, LoadingBar::kMaximum));
  ShowWindow(GetDlgItem(window_, IDC_LOADING_HIDDEN), SW_HIDE);

  RECT bounds, desktop;
  GetWindowRect(window_, &bounds);
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &desktop, 0);
  SetWindowPos(window_, nullptr, desktop.left + (desktop.right - desktop.left - (bounds.right - bounds.left)) / 2,
               desktop.top + (desktop.bottom - desktop.top - (bounds.bottom - bounds.top)) / 2, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void LoadingDialog::ShowBarPosition(int position) {
  SendDlgItemMessageA(window_, IDC_LOADING_PROGRESS, PBM_SETPOS, position, 0);
}

void LoadingDialog::ShowError(unsigned textId) {
  MessageBoxA(window_, texts_.text(textId), texts_.text(IDS_TITLE), MB_OK | MB_ICONERROR);
}

void LoadingDialog::ShowNoScriptsWarning() {
  MessageBoxA(window_, texts_.text(IDS_NO_SCRIPTS), texts_.text(IDS_TITLE), MB_OK | MB_ICONERROR);
}

void LoadingDialog::ShowPrinterListFailure(const std::string& details) {
  std::string text = texts_.text(IDS_PRINTER_LIST_UNREADABLE);
  if (const std::size_t at = text.find("%s"); at != std::string::npos) text.replace(at, 2, details);
  MessageBoxA(window_, text.c_str(), texts_.text(IDS_TITLE), MB_OK | MB_ICONERROR);
}

bool LoadingDialog::AskInterrupt() {
  return MessageBoxA(window_, texts_.text(IDS_INTERRUPT_QUESTION), texts_.text(IDS_TITLE),
                     MB_YESNO | MB_DEFBUTTON2 | MB_ICONQUESTION) == IDYES;
}

void LoadingDialog::StartTimer(unsigned periodMs) { SetTimer(window_, kLoadingTimer, periodMs, nullptr); }
void LoadingDialog::StopTimer() { KillTimer(window_, kLoadingTimer); }
void LoadingDialog::End(int result) { EndDialog(window_, result); }

INT_PTR LoadingDialog::handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      window_ = window;
      initialise();
      return TRUE;
    case WM_SHOWWINDOW:
      // The timer starts once the dialog is on screen.
      if (wParam && !started_) {
        started_ = true;
        sequence_.Start();
      }
      return FALSE;
    case WM_TIMER:
      if (wParam == kLoadingTimer) sequence_.Tick();
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
        sequence_.OnCancel();
        return TRUE;
      }
      return FALSE;
    case WM_ENDSESSION:
      if (wParam) sequence_.StartSpoolerIfStopped();
      return FALSE;
    default:
      return FALSE;
  }
}
