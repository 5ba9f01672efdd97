#include "RemovalPanel.h"

#include "UninstallerMessages.h"
#include "resource.h"

RemovalPanel::RemovalPanel(StringTable& texts, RemovalSteps& steps) : texts_(texts), machine_(steps, *this) {}

RemovalPanel::~RemovalPanel() {
  if (boldFont_) DeleteObject(boldFont_);
  if (lineIcons_) ImageList_Destroy(lineIcons_);
}

HWND RemovalPanel::create(HWND mainWindow, const RECT& area) {
  mainWindow_ = mainWindow;
  createChildPanel("IDD_REMOVE", mainWindow, area, this);
  return window_;
}

void RemovalPanel::initialise() {
  normalFont_ = reinterpret_cast<HFONT>(SendMessageA(window_, WM_GETFONT, 0, 0));
  LOGFONTA bold = {};
  if (normalFont_ && GetObjectA(normalFont_, sizeof bold, &bold)) {
    bold.lfWeight = FW_BOLD;
    boldFont_ = CreateFontIndirectA(&bold);
  }
  lineIcons_ = ImageList_LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDB_LINE_ICONS), 16, 0,
                                    RGB(255, 0, 255), IMAGE_BITMAP, LR_CREATEDIBSECTION);
  for (const RemovalLine& line : kRemovalLines) SetDlgItemTextA(window_, line.labelControl, texts_.text(line.textId));
}

void RemovalPanel::startPhases() {
  EnableWindow(GetDlgItem(mainWindow_, IDC_UNINSTALL), FALSE);
  machine_.start();
  SetTimer(window_, kRemovalTimer, kRemovalTimerPeriod, nullptr);
}

void RemovalPanel::drawIcon(const DRAWITEMSTRUCT& item) {
  FillRect(item.hDC, &item.rcItem, GetSysColorBrush(COLOR_BTNFACE));
  for (std::size_t line = 0; line < kRemovalLines.size(); ++line) {
    if (static_cast<int>(item.CtlID) != kRemovalLines[line].iconControl) continue;
    int x = item.rcItem.left + (item.rcItem.right - item.rcItem.left - 16) / 2;
    int y = item.rcItem.top + (item.rcItem.bottom - item.rcItem.top - 16) / 2;
    ImageList_Draw(lineIcons_, static_cast<int>(shown_[line].icon), item.hDC, x, y, ILD_TRANSPARENT);
  }
}

void RemovalPanel::showBusyCursor() {
  HCURSOR previous = SetCursor(LoadCursor(nullptr, IDC_WAIT));
  if (!cursorSaved_) {
    savedCursor_ = previous;
    cursorSaved_ = true;
  }
}

void RemovalPanel::paintLines(const RemovalLinesSnapshot& lines) {
  for (std::size_t line = 0; line < lines.size(); ++line) {
    HFONT font = lines[line].bold && boldFont_ ? boldFont_ : normalFont_;
    HWND label = GetDlgItem(window_, kRemovalLines[line].labelControl);
    if (reinterpret_cast<HFONT>(SendMessageA(label, WM_GETFONT, 0, 0)) != font)
      SendMessageA(label, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    if (!(shown_[line] == lines[line])) InvalidateRect(GetDlgItem(window_, kRemovalLines[line].iconControl), nullptr, TRUE);
  }
  shown_ = lines;
}

void RemovalPanel::bringToFront() {
  ShowWindow(window_, SW_SHOWDEFAULT);
  BringWindowToTop(window_);
  SetForegroundWindow(window_);
}

void RemovalPanel::stopPhaseTimer() { KillTimer(window_, kRemovalTimer); }

void RemovalPanel::restoreCursor() {
  if (cursorSaved_) SetCursor(savedCursor_);
  cursorSaved_ = false;
}

void RemovalPanel::announceFinished() {
  PostMessageA(mainWindow_, WM_CLOSE, 0, 0);
  PostMessageA(mainWindow_, WM_UNINSTALLER_REMOVAL_FINISHED, 0, 0);
}

INT_PTR RemovalPanel::handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      window_ = window;
      initialise();
      return TRUE;
    case WM_DRAWITEM:
      drawIcon(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
      return TRUE;
    case WM_TIMER:
      if (wParam == kRemovalTimer) machine_.tick();
      return TRUE;
    case WM_SETCURSOR:
      if (machine_.running()) {
        SetCursor(LoadCursor(nullptr, IDC_WAIT));
        SetWindowLongPtrA(window, DWLP_MSGRESULT, TRUE);
        return TRUE;
      }
      return FALSE;
    default:
      return FALSE;
  }
}
