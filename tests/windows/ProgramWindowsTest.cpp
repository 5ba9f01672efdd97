// devfinder starts under Windows (here: Wine) and shows its main window
// with the controls its resources define. The uninstaller's window, which
// now opens after its loading dialog, is checked by tests/uninstaller.
#include "LiveWindow.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using wintest::ControlInfo;
using wintest::FindControl;

constexpr DWORD kWindowTimeoutMs = 30000;

std::string ScreenshotPath(const char* name) { return std::string("screenshots\\") + name + ".png"; }

void ExpectControl(const std::vector<ControlInfo>& controls, int id, const char* className, const char* text,
                   bool visible = true)
{
    const ControlInfo* control = FindControl(controls, id);
    ASSERT_NE(nullptr, control) << "control " << id;
    EXPECT_EQ(className, control->className) << "control " << id;
    EXPECT_EQ(text, control->text) << "control " << id;
    EXPECT_EQ(visible, control->visible) << "control " << id;
}

// Runs only where a search cannot leave the machine: the finder broadcasts
// as soon as its window opens, so outside a test network it is not started.
TEST(SelectorWindow, ShowsListAndButtons)
{
    if (!GetEnvironmentVariableA("VIVARO_NETLAB", nullptr, 0))
        GTEST_SKIP() << "devfinder searches the network at start; it runs only inside the network lab";
    wintest::RunningProgram program;
    ASSERT_TRUE(program.Start("devfinder.exe"));
    HWND main = wintest::WaitForTopWindow("Arvel-Norvane Vivaro 5320MF network printer selector", program.ProcessId(),
                                          kWindowTimeoutMs);
    ASSERT_NE(nullptr, main);
    const auto controls = wintest::ReadControls(main);
    ExpectControl(controls, 2002, "SysListView32", "");
    ExpectControl(controls, 22, "Button", "Refresh");
    ExpectControl(controls, 1, "Button", "Close");
    const bool versionShown = [&] {
        for (const auto& control : controls)
            if (control.className == "Static" && control.text == "V1.2")
                return true;
        return false;
    }();
    EXPECT_TRUE(versionShown);
    EXPECT_TRUE(wintest::SaveWindowPng(main, ScreenshotPath("devfinder")));

    PostMessageA(main, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(program.WaitForExit(10000));
}

}  // namespace
