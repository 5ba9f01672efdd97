#include <windows.h>
#include <commctrl.h>

#include "MainWindow.h"
#include "UninstallerMessages.h"

namespace {

// A second start only brings the running uninstaller forward.
bool activateRunningInstance() {
  HWND running = FindWindowA(kMainWindowClass, nullptr);
  if (!running) return false;
  ShowWindow(running, SW_SHOWDEFAULT);
  BringWindowToTop(running);
  SetForegroundWindow(running);
  return true;
}

// The main dialog uses a copy of the system dialog class under our own
// name, which is what a second instance looks for.
bool registerMainWindowClass(HINSTANCE instance) {
  WNDCLASSEXA dialogClass = {};
  dialogClass.cbSize = sizeof dialogClass;
  if (!GetClassInfoExA(nullptr, WC_DIALOG, &dialogClass)) return false;
  dialogClass.hInstance = instance;
  dialogClass.lpszClassName = kMainWindowClass;
  return RegisterClassExA(&dialogClass) != 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  if (activateRunningInstance()) return 0;
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&controls);
  registerMainWindowClass(instance);
  MainWindow mainWindow(instance);
  return mainWindow.run();
}
