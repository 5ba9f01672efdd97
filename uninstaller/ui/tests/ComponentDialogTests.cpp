// "IDD_COMPONENT" in-process under Wine, with the program's own resources
// linked into the test: texts, the preselected choice, OK and Cancel.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>

#include "ComponentDialog.h"
#include "LiveWindow.h"
#include "StringSourceWin32.h"
#include "resource.h"

namespace {

struct SeenDialog {
  std::string caption, text, both, printer, scanner;
  bool bothChecked = false;
};

// Waits for the dialog on another thread, records what it shows, then
// lets act() press its buttons.
class DialogDriver {
 public:
  explicit DialogDriver(std::function<void(HWND)> act)
      : act_(std::move(act)), thread_([this] { drive(); }) {}
  ~DialogDriver() { thread_.join(); }
  SeenDialog seen;

 private:
  static std::string text(HWND window) {
    char buffer[512] = {};
    GetWindowTextA(window, buffer, sizeof buffer);
    return buffer;
  }
  void drive() {
    for (int attempt = 0; attempt < 500; ++attempt) {
      HWND dialog = FindWindowA("#32770", nullptr);
      if (dialog && GetDlgItem(dialog, IDC_COMPONENT_BOTH)) {
        Sleep(100);
        seen.caption = text(dialog);
        seen.text = text(GetDlgItem(dialog, IDC_COMPONENT_TEXT));
        seen.both = text(GetDlgItem(dialog, IDC_COMPONENT_BOTH));
        seen.printer = text(GetDlgItem(dialog, IDC_COMPONENT_PRINTER));
        seen.scanner = text(GetDlgItem(dialog, IDC_COMPONENT_SCANNER));
        seen.bothChecked = SendDlgItemMessageA(dialog, IDC_COMPONENT_BOTH, BM_GETCHECK, 0, 0) == BST_CHECKED;
        act_(dialog);
        return;
      }
      Sleep(20);
    }
  }
  std::function<void(HWND)> act_;
  std::thread thread_;
};

class ComponentDialogTest : public ::testing::Test {
 protected:
  StringSourceWin32 source_{GetModuleHandleA(nullptr)};
  StringTable texts_{source_};
};

void choose(HWND dialog, int radio) {
  SendDlgItemMessageA(dialog, radio, BM_CLICK, 0, 0);
  PostMessageA(dialog, WM_COMMAND, IDOK, 0);
}

TEST_F(ComponentDialogTest, ShowsTheFrenchChoicesWithBothPreselected) {
  ComponentDialog dialog(texts_);
  INT_PTR result;
  SeenDialog seen;
  {
    DialogDriver driver([](HWND window) {
      wintest::SaveWindowPng(window, "screenshots\\uninstaller_component.png");
      PostMessageA(window, WM_COMMAND, IDOK, 0);
    });
    result = dialog.run(nullptr);
    seen = driver.seen;
  }
  EXPECT_EQ(result, 1);
  EXPECT_EQ(dialog.choice(), ComponentChoice::Both);
  EXPECT_EQ(seen.caption, "D\xE9sintaller");
  EXPECT_EQ(seen.both, "Pilotes Imprimante && Scanner") << "shown with its ampersand";
  EXPECT_EQ(seen.printer, "Pilote Imprimante");
  EXPECT_EQ(seen.scanner, "Pilote Scanner");
  EXPECT_EQ(seen.text.rfind("Ce programme va automatiquement d\xE9sinstaller le p\xE9riph\xE9rique suivant :", 0), 0u)
      << seen.text;
  EXPECT_NE(seen.text.find("\n\nARVEL NORVANE Vivaro 5310MF\n\n"), std::string::npos);
  EXPECT_TRUE(seen.bothChecked);
}

TEST_F(ComponentDialogTest, OkReportsTheChosenDriverAndCancelGivesTwo) {
  ComponentDialog printerOnly(texts_);
  {
    DialogDriver driver([](HWND window) { choose(window, IDC_COMPONENT_PRINTER); });
    EXPECT_EQ(printerOnly.run(nullptr), 1);
  }
  EXPECT_EQ(printerOnly.choice(), ComponentChoice::PrinterOnly);

  ComponentDialog scannerOnly(texts_);
  {
    DialogDriver driver([](HWND window) { choose(window, IDC_COMPONENT_SCANNER); });
    EXPECT_EQ(scannerOnly.run(nullptr), 1);
  }
  EXPECT_EQ(scannerOnly.choice(), ComponentChoice::ScannerOnly);

  ComponentDialog cancelled(texts_);
  {
    DialogDriver driver([](HWND window) {
      SendDlgItemMessageA(window, IDC_COMPONENT_SCANNER, BM_CLICK, 0, 0);
      PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_EQ(cancelled.run(nullptr), 2);
  }
}

// The shared procedure with no object behind the dialog still closes it:
// OK with 1, Cancel with 0.
TEST(SharedDialogProcedure, WithoutAnObjectOkGivesOneAndCancelGivesZero) {
  for (int button : {IDOK, IDCANCEL}) {
    DialogDriver driver([button](HWND window) { PostMessageA(window, WM_COMMAND, button, 0); });
    INT_PTR result = DialogBoxParamA(GetModuleHandleA(nullptr), "IDD_COMPONENT", nullptr, sharedDialogProcedure, 0);
    EXPECT_EQ(result, button == IDOK ? 1 : 0);
  }
}

}  // namespace
