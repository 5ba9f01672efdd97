// The Port Name Editor as a user meets it: its texts, the red message line
// after a refused OK, and OK closing the dialog only once the names pass.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <thread>

#include "LiveWindow.h"
#include "PortNameEditorDialog.h"
#include "PortNameEditorIds.h"

namespace {

constexpr DWORD kWindowTimeoutMs = 30000;
const char* const kTitle = "Port Name Editor";

std::string ControlText(const std::vector<wintest::ControlInfo>& controls, int id)
{
    const wintest::ControlInfo* control = wintest::FindControl(controls, id);
    return control ? control->text : "<missing control " + std::to_string(id) + ">";
}

void SetText(HWND dialog, int id, const char* text)
{
    SendMessageA(GetDlgItem(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}

// Presses OK the way the button does, and waits until the dialog has handled it.
void PressOk(HWND dialog) { SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0); }

std::string MessageLine(HWND dialog) { return wintest::WindowText(GetDlgItem(dialog, IDC_EDIT_PORT_NAME_MESSAGE)); }

TEST(PortNameEditorLive, ShowsBothNamesAndRefusesUntilTheyPass)
{
    const std::string resultFile = "port_name_editor_result.txt";
    std::remove(resultFile.c_str());
    wintest::RunningProgram program;
    ASSERT_TRUE(program.Start("port_name_editor_host.exe " + resultFile));
    HWND dialog = wintest::WaitForTopWindow(kTitle, program.ProcessId(), kWindowTimeoutMs);
    ASSERT_NE(nullptr, dialog);

    const auto controls = wintest::ReadControls(dialog);
    EXPECT_EQ("prn-lab", ControlText(controls, IDC_EDIT_PORT_NAME_PORT));
    EXPECT_EQ("prn-lab", ControlText(controls, IDC_EDIT_PORT_NAME_PRINTER));
    EXPECT_EQ("", ControlText(controls, IDC_EDIT_PORT_NAME_MESSAGE));
    EXPECT_EQ("OK", ControlText(controls, IDOK));
    EXPECT_EQ("Cancel", ControlText(controls, IDCANCEL));
    int labels = 0;
    for (const auto& control : controls)
        labels += control.text == "Port Name:" || control.text == "Printer Name:";
    EXPECT_EQ(2, labels);

    SetText(dialog, IDC_EDIT_PORT_NAME_PORT, "IP_lab");
    PressOk(dialog);
    EXPECT_EQ("This port name is already being used - please choose another port name.", MessageLine(dialog));
    ASSERT_TRUE(IsWindowVisible(dialog)) << "a refused OK keeps the dialog open";
    wintest::LetWindowsSettle();
    EXPECT_TRUE(wintest::SaveWindowPng(dialog, "screenshots\\port_name_editor_refused.png"));

    SetText(dialog, IDC_EDIT_PORT_NAME_PORT, "IP_prn-lab");
    SetText(dialog, IDC_EDIT_PORT_NAME_PRINTER, "Lab");
    PressOk(dialog);
    EXPECT_EQ("This printer name is already being used - please choose another printer name.", MessageLine(dialog));

    SetText(dialog, IDC_EDIT_PORT_NAME_PRINTER, " Lab");
    PressOk(dialog);
    EXPECT_EQ("Please provide a valid port name.  A space cannot be the first character.", MessageLine(dialog));

    SetText(dialog, IDC_EDIT_PORT_NAME_PORT, "IP_a,IP_b");
    PressOk(dialog);
    EXPECT_EQ("Please provide a valid port name.  A comma cannot be used in the name.", MessageLine(dialog));
    SetText(dialog, IDC_EDIT_PORT_NAME_PORT, std::string(64, 'p').c_str());
    PressOk(dialog);
    EXPECT_EQ("Please provide a valid port name.  It cannot be longer than 63 characters.", MessageLine(dialog));
    SetText(dialog, IDC_EDIT_PORT_NAME_PORT, "IP_prn-lab");

    SetText(dialog, IDC_EDIT_PORT_NAME_PRINTER, "Lab 2");
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    DWORD exitCode = 0;
    ASSERT_TRUE(program.WaitForExit(10000, &exitCode));
    EXPECT_EQ(static_cast<DWORD>(IDOK), exitCode);
    std::ifstream result(resultFile);
    std::string port, printer;
    std::getline(result, port);
    std::getline(result, printer);
    EXPECT_EQ("IP_prn-lab", port);
    EXPECT_EQ("Lab 2", printer);
}

TEST(PortNameEditorLive, CancelEndsWithoutChecking)
{
    wintest::RunningProgram program;
    ASSERT_TRUE(program.Start("port_name_editor_host.exe"));
    HWND dialog = wintest::WaitForTopWindow(kTitle, program.ProcessId(), kWindowTimeoutMs);
    ASSERT_NE(nullptr, dialog);
    SetText(dialog, IDC_EDIT_PORT_NAME_PORT, "");
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    DWORD exitCode = 0;
    ASSERT_TRUE(program.WaitForExit(10000, &exitCode));
    EXPECT_EQ(static_cast<DWORD>(IDCANCEL), exitCode);
}

// In this process, so the dialog's colour answer can be read from a device context.
TEST(PortNameEditorInProcess, MessageLineIsRedOnATransparentBackgroundAndClearedOnTheNextOk)
{
    const NamesInUse inUse;
    CDlgEditPortName editor(GetModuleHandleA(nullptr), nullptr);
    editor.portName = "";
    editor.printerName = "prn-lab";
    editor.namesInUse = &inUse;

    COLORREF textColour = 0;
    int backgroundMode = 0;
    bool brushGiven = false;
    std::string firstMessage, messageAfterCorrection;
    bool stayedOpen = false;
    std::thread user([&] {
        HWND dialog = wintest::WaitForTopWindow(kTitle, GetCurrentProcessId(), kWindowTimeoutMs);
        if (!dialog)
            return;
        PressOk(dialog);
        firstMessage = MessageLine(dialog);
        HDC dc = CreateCompatibleDC(nullptr);
        SetTextColor(dc, RGB(0, 0, 0));
        SetBkMode(dc, OPAQUE);
        brushGiven = SendMessageA(dialog, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                  reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDC_EDIT_PORT_NAME_MESSAGE))) != 0;
        textColour = GetTextColor(dc);
        backgroundMode = GetBkMode(dc);
        DeleteDC(dc);
        // A second refusal for another reason: the old text must not linger.
        SetText(dialog, IDC_EDIT_PORT_NAME_PORT, "a/b");
        PressOk(dialog);
        messageAfterCorrection = MessageLine(dialog);
        stayedOpen = IsWindowVisible(dialog) != FALSE;
        SetText(dialog, IDC_EDIT_PORT_NAME_PORT, "IP_prn-lab");
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    });
    const INT_PTR result = editor.DoModal();
    user.join();

    EXPECT_EQ(IDOK, result);
    EXPECT_EQ("Please provide a port name.  Type the name in the upper edit box.", firstMessage);
    EXPECT_TRUE(brushGiven);
    EXPECT_EQ(RGB(255, 0, 0), textColour);
    EXPECT_EQ(TRANSPARENT, backgroundMode);
    EXPECT_EQ("Please provide a valid port name.  A slash cannot be used in the name.", messageAfterCorrection);
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ("IP_prn-lab", editor.portName);
    EXPECT_EQ("prn-lab", editor.printerName);
}

}  // namespace
