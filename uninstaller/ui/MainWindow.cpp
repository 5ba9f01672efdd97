#include "MainWindow.h"

#include "AboutDialog.h"
#include "ComponentDialog.h"
#include "OsInfoWin32.h"
#include "LoadingDialog.h"
#include "ScannerUninstall.h"
#include "Trace.h"
#include "UninstallerMessages.h"
#include "resource.h"

MainWindow::MainWindow(HINSTANCE instance)
    : textSource_(instance),
      texts_(textSource_),
      os_(readOsInfo()),
      database_(os_.platformClass),
      restartPlatform_(texts_),
      removalSteps_(makeWin32RemovalContext(
                        database_, removalPlatform_.platform, os_,
                        [this](unsigned id) { return std::string(texts_.text(id)); }, writeTrace),
                    writeTrace, maskingToolPlatform_, restartPlatform_, [this] { return scannerUninstallPending_; }),
      selectionPanel_(texts_, database_, os_),
      removalPanel_(texts_, removalSteps_) {
  switches_.Parse(GetCommandLineA());
}

int MainWindow::run() {
  const INT_PTR result = DialogBoxParamA(GetModuleHandleA(nullptr), "IDD_MAIN_NOBMP", nullptr, sharedDialogProcedure,
                                         reinterpret_cast<LPARAM>(this));
  // However the dialog ended (a WM_QUIT ends it in the middle of the
  // phases), the program does not leave the machine without a spooler.
  if (removalPanel_.holdsSpoolerStopped()) removalSteps_.startSpoolerBeforeExit();
  return static_cast<int>(result);
}

void MainWindow::prepareSystemMenu() {
  HMENU menu = GetSystemMenu(window_, FALSE);
  EnableMenuItem(menu, SC_SIZE, MF_BYCOMMAND | MF_GRAYED);
  EnableMenuItem(menu, SC_MAXIMIZE, MF_BYCOMMAND | MF_GRAYED);
  AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
  AppendMenuA(menu, MF_STRING, IDM_ABOUT, texts_.text(IDS_ABOUT_MENU));
}

void MainWindow::createPanels() {
  HWND placeholder = GetDlgItem(window_, IDC_PLACEHOLDER);
  RECT area;
  GetWindowRect(placeholder, &area);
  MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&area), 2);
  selectionPanel_.create(window_, area);
  removalPanel_.create(window_, area);
  removalPlatform_.setWindow(removalPanel_.window());
  ShowWindow(removalPanel_.window(), SW_SHOW);
}

void MainWindow::showPanel(Panel panel) {
  ShowWindow(selectionPanel_.window(), panel == Panel::Selection ? SW_SHOW : SW_HIDE);
  ShowWindow(removalPanel_.window(), panel == Panel::Removal ? SW_SHOW : SW_HIDE);
}

void MainWindow::enableButton(int id, bool enabled) { EnableWindow(GetDlgItem(window_, id), enabled ? TRUE : FALSE); }

void MainWindow::end(int result) { EndDialog(window_, result); }

void MainWindow::offerSelection() {
  showPanel(Panel::Selection);
  ShowWindow(window_, SW_SHOW);
  offeredPrinters_ = selectionPanel_.fillList();
  // With nothing to pick, Uninstall still runs the scripts' removal.
  enableButton(IDC_UNINSTALL, offeredPrinters_ == 0);
  enableButton(IDC_EXIT, true);
}

void MainWindow::initialise() {
  ShowWindow(GetDlgItem(window_, IDC_PLACEHOLDER), SW_HIDE);
  prepareSystemMenu();
  SetWindowTextA(window_, texts_.text(IDS_TITLE));
  SetDlgItemTextA(window_, IDC_UNINSTALL, texts_.text(IDS_UNINSTALL));
  SetDlgItemTextA(window_, IDC_EXIT, texts_.text(IDS_CANCEL));
  createPanels();
  ShowWindow(selectionPanel_.window(), SW_HIDE);

  RECT bounds, desktop;
  GetWindowRect(window_, &bounds);
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &desktop, 0);
  SetWindowPos(window_, nullptr, desktop.left + (desktop.right - desktop.left - (bounds.right - bounds.left)) / 2,
               desktop.top + (desktop.bottom - desktop.top - (bounds.bottom - bounds.top)) / 2, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);

  enableButton(IDC_UNINSTALL, false);
  enableButton(IDC_EXIT, false);
  restartPlatform_.setOwner(window_);
  LoadingDialog loading(database_, switches_, os_, texts_);
  if (loading.run(window_) != 1) {
    end(0);
    return;
  }
  offeredPrinters_ = loading.offeredPrinters();

  const bool filterSwitchGiven = switches_.Has("MFG") || switches_.Has("UNVEN") || switches_.Has("PRN");
  const bool nopickSwitch = switches_.Has("NOPICK");
  InitialView view = initialView(filterSwitchGiven, nopickSwitch, database_.PickingAllowed());
  showPanel(view.panel);
  if (view.showWindow) ShowWindow(window_, SW_SHOW);
  if (view.fillList) offeredPrinters_ = selectionPanel_.fillList();
  if (view.enableExit) enableButton(IDC_EXIT, true);

  ComponentChoice choice = ComponentChoice::PrinterOnly;
  if (database_.ScannerUninstallRequested()) {
    ComponentDialog component(texts_);
    if (component.run(window_) != 1) {
      end(0);
      return;
    }
    choice = component.choice();
  }
  scannerUninstallPending_ = choice != ComponentChoice::PrinterOnly;

  switch (stepAfterComponentChoice(choice, database_.PickingAllowed())) {
    case NextStep::EndAndStartScannerUninstall:
      end(0);
      startScannerUninstall(database_.ScannerProductGuid(), texts_);
      break;
    case NextStep::OfferSelection:
      offerSelection();
      break;
    case NextStep::StartRemoval:
      startRemoval();
      break;
  }
}

void MainWindow::startRemoval() {
  // Uninstall and the list's menu can both ask; the phases run once.
  if (removalPanel_.phasesRunning()) return;
  removing_ = true;
  showPanel(Panel::Removal);
  EnableMenuItem(GetSystemMenu(window_, FALSE), SC_CLOSE, MF_BYCOMMAND | MF_GRAYED);
  enableButton(IDC_EXIT, false);
  removalPanel_.startPhases();
}

void MainWindow::onRemovalFinished() {
  removing_ = false;
  SetDlgItemTextA(window_, IDC_EXIT, texts_.text(IDS_CLOSE));
  int stillOffered = 0;
  for (const InstalledPrinter& printer : database_.Printers())
    if (printer.Offered()) ++stillOffered;
  if (panelAfterRemoval(stillOffered, database_.RestartNeeded()) == Panel::Selection) {
    showPanel(Panel::Selection);
    offeredPrinters_ = selectionPanel_.fillList();
  }
  enableButton(IDC_EXIT, true);
  if (scannerUninstallPending_) {
    scannerUninstallPending_ = false;
    end(0);
    if (!startScannerUninstall(database_.ScannerProductGuid(), texts_))
      AskRestartAfterScannerUninstallFailed(RestartFacts{os_.platformClass, os_.versionCode},
                                            database_.RestartNeeded(), restartPlatform_);
  }
}

void MainWindow::onCommand(int command) {
  // Enter, Esc and a WM_CLOSE from outside would end the program in the
  // middle of the phases, possibly with the spooler stopped; the posted
  // WM_CLOSE of the last phase comes after message 1129.
  if (removing_) return;
  if (command == IDC_UNINSTALL) {
    selectionPanel_.recordSelection();
    startRemoval();
  } else {
    end(0);
  }
}

INT_PTR MainWindow::handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      window_ = window;
      initialise();
      return TRUE;
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDC_UNINSTALL:
        case IDC_EXIT:
        case IDOK:
        case IDCANCEL:
          onCommand(LOWORD(wParam));
          return TRUE;
        default:
          return FALSE;
      }
    case WM_ENDSESSION:
      // The session ends with the program: the spooler must not stay stopped.
      if (wParam && removalPanel_.holdsSpoolerStopped()) removalSteps_.startSpoolerBeforeExit();
      return FALSE;
    case WM_SYSCOMMAND:
      if (wParam == IDM_ABOUT) {
        AboutDialog(texts_, os_).run(window);
        return TRUE;
      }
      return FALSE;
    case WM_CLOSE:
      // Posted, so that a message posted after WM_CLOSE (1129 at the end of
      // the removal) is still handled before the dialog ends.
      PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
      return TRUE;
    case WM_UNINSTALLER_ENABLE_UNINSTALL:
      enableButton(IDC_UNINSTALL, wParam != 0);
      return TRUE;
    case WM_UNINSTALLER_START_REMOVAL:
      startRemoval();
      return TRUE;
    case WM_UNINSTALLER_REMOVAL_FINISHED:
      onRemovalFinished();
      return TRUE;
    case WM_UNINSTALLER_NO_SCANNER_PENDING:
      SetWindowLongPtrA(window, DWLP_MSGRESULT, scannerUninstallPending_ ? 0 : 1);
      return TRUE;
    default:
      return FALSE;
  }
}
