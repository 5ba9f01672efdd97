// The selector window inside the network lab: started in the lab's host
// namespace, it must list exactly the lab's matching devices under their
// unit names, each with a clear tick and its tooltips; a click on a tick
// opens the Port Name Editor with the unit name in both fields.
//   VIVARO_NETLAB_EXPECT      "unit=address;unit=address;..."
//   VIVARO_NETLAB_SCREENSHOT  where to save the window's picture
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "LiveWindow.h"
#include "RemoteListView.h"

namespace {

const char kTitle[] = "Arvel-Norvane Vivaro 5320MF network printer selector";
const char kProgramName[] = "Arvel-Norvane 5320MF Network Printer Locator";
constexpr int kListId = 2002;
constexpr int kRefreshId = 22;
constexpr DWORD kWindowTimeoutMs = 60000;

std::string Environment(const char* name)
{
    char value[1024] = {};
    const DWORD length = GetEnvironmentVariableA(name, value, sizeof value);
    return length > 0 && length < sizeof value ? std::string(value, length) : std::string();
}

std::map<std::string, std::string> ExpectedRows()
{
    std::map<std::string, std::string> rows;
    std::string expectation = Environment("VIVARO_NETLAB_EXPECT");
    std::size_t start = 0;
    while (start < expectation.size()) {
        const std::size_t end = std::min(expectation.find(';', start), expectation.size());
        const std::string entry = expectation.substr(start, end - start);
        const std::size_t equals = entry.find('=');
        if (equals != std::string::npos) {
            rows[entry.substr(0, equals)] = entry.substr(equals + 1);
        }
        start = end + 1;
    }
    return rows;
}

struct ToolTipSearch {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK FindVisibleToolTip(HWND window, LPARAM parameter)
{
    auto* search = reinterpret_cast<ToolTipSearch*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->processId && IsWindowVisible(window) && wintest::WindowClass(window) == "tooltips_class32") {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

// Moves the mouse as a user would: Wine ignores the pointer motion that its
// own SetCursorPos causes, so only injected input reaches the tooltip.
void MoveMouseTo(POINT screen)
{
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dx = MulDiv(screen.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = MulDiv(screen.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &input, sizeof input);
}

// Moves the mouse to the middle of a cell and returns the tooltip text that
// shows, or "" when none shows within the time.
std::string HoverToolTip(HWND list, DWORD processId, const RECT& cell)
{
    POINT away = {cell.left + 2, cell.bottom + 400};
    ClientToScreen(list, &away);
    MoveMouseTo(away);
    Sleep(400);
    POINT middle = {(cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2};
    ClientToScreen(list, &middle);
    // One move, then stillness: every move restarts the tooltip's delay.
    MoveMouseTo(middle);
    for (int attempt = 0; attempt < 30; ++attempt) {
        Sleep(100);
        ToolTipSearch search{processId, nullptr};
        EnumWindows(&FindVisibleToolTip, reinterpret_cast<LPARAM>(&search));
        if (search.found) {
            return wintest::WindowText(search.found);
        }
    }
    return std::string();
}

class SelectorInLab : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (Environment("VIVARO_NETLAB").empty()) {
            GTEST_SKIP() << "devfinder searches the network at start; it runs only inside the network lab";
        }
        ASSERT_TRUE(program.Start("devfinder.exe"));
        window = wintest::WaitForTopWindow(kTitle, program.ProcessId(), kWindowTimeoutMs);
        ASSERT_NE(nullptr, window);
        list = GetDlgItem(window, kListId);
        ASSERT_NE(nullptr, list);
        SetForegroundWindow(window);
        wintest::LetWindowsSettle(500);
    }

    void TearDown() override
    {
        if (window) {
            PostMessageA(window, WM_COMMAND, IDOK, 0);
            EXPECT_TRUE(program.WaitForExit(15000));
        }
    }

    std::map<std::string, std::string> ReadRows(const RemoteListView& rows) const
    {
        std::map<std::string, std::string> found;
        for (int row = 0; row < rows.Count(); ++row) {
            found[rows.Text(row, 1)] = rows.Text(row, 2);
        }
        return found;
    }

    void WaitUntilSearchEnds() const
    {
        for (int i = 0; i < 200 && !IsWindowEnabled(GetDlgItem(window, kRefreshId)); ++i) {
            Sleep(100);
        }
    }

    wintest::RunningProgram program;
    HWND window = nullptr;
    HWND list = nullptr;
};

TEST_F(SelectorInLab, ListsExactlyTheMatchingDevicesWithClearTicksAndTooltips)
{
    RemoteListView rows(list, program.ProcessId());
    ASSERT_TRUE(rows.Ready());
    const auto expected = ExpectedRows();
    ASSERT_FALSE(expected.empty()) << "VIVARO_NETLAB_EXPECT names the lab's devices";
    EXPECT_EQ(ReadRows(rows), expected);
    for (int row = 0; row < rows.Count(); ++row) {
        EXPECT_EQ(rows.Checkbox(row), 0) << "row " << row << ": no port exists, so no tick";
        EXPECT_EQ(rows.Text(row, 0), "");
        EXPECT_EQ(rows.Text(row, 3), "");
        EXPECT_EQ(rows.Text(row, 4), "");
    }
    const std::string screenshot = Environment("VIVARO_NETLAB_SCREENSHOT");
    if (!screenshot.empty()) {
        EXPECT_TRUE(wintest::SaveWindowPng(window, screenshot));
    }
    ASSERT_GT(rows.Count(), 0);
    EXPECT_EQ(HoverToolTip(list, program.ProcessId(), rows.CellRect(0, 0)), "Disabled");
    EXPECT_EQ(HoverToolTip(list, program.ProcessId(), rows.CellRect(0, 1)), rows.Text(0, 1));
    EXPECT_EQ(HoverToolTip(list, program.ProcessId(), rows.CellRect(0, 2)), rows.Text(0, 2));
    EXPECT_EQ(HoverToolTip(list, program.ProcessId(), rows.CellRect(0, 3)), "") << "an empty cell has no tooltip";
}

// Wine's spooler has no Standard TCP/IP Port monitor: after OK in the editor
// nothing can be created, the user is told so, the tick is taken back and
// no search runs (the lab script counts the searches on the wire).
TEST_F(SelectorInLab, ATickOpensTheEditorWithTheUnitNameInBothFields)
{
    RemoteListView rows(list, program.ProcessId());
    ASSERT_TRUE(rows.Ready());
    ASSERT_GT(rows.Count(), 0);
    const std::string unitName = rows.Text(0, 1);
    const RECT cell = rows.CellRect(0, 0);
    const LPARAM point = MAKELPARAM(cell.right - 3, (cell.top + cell.bottom) / 2);
    const auto clickTick = [&] {
        PostMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, point);
        PostMessageA(list, WM_LBUTTONUP, 0, point);
        return wintest::WaitForTopWindow("Port Name Editor", program.ProcessId(), kWindowTimeoutMs);
    };

    HWND editor = clickTick();
    ASSERT_NE(nullptr, editor);
    const auto controls = wintest::ReadControls(editor);
    const wintest::ControlInfo* portName = wintest::FindControl(controls, 2011);
    const wintest::ControlInfo* printerName = wintest::FindControl(controls, 2012);
    ASSERT_NE(nullptr, portName);
    ASSERT_NE(nullptr, printerName);
    EXPECT_EQ(portName->text, unitName);
    EXPECT_EQ(printerName->text, unitName);
    EXPECT_FALSE(IsWindowEnabled(window)) << "the editor is modal to the selector";
    PostMessageA(editor, WM_COMMAND, IDCANCEL, 0);
    wintest::LetWindowsSettle(500);
    EXPECT_EQ(rows.Checkbox(0), 0) << "cancelled: the window took the tick back";

    editor = clickTick();
    ASSERT_NE(nullptr, editor);
    PostMessageA(editor, WM_COMMAND, IDOK, 0);
    HWND refusal = wintest::WaitForTopWindow(kProgramName, program.ProcessId(), kWindowTimeoutMs);
    ASSERT_NE(nullptr, refusal) << "the refusal is shown";
    // Wine's IsWindow can stay true a while for another process's destroyed window.
    EXPECT_FALSE(IsWindowVisible(editor)) << "the names pass, so OK closes the editor";
    bool saysWhy = false;
    for (const auto& control : wintest::ReadControls(refusal)) {
        saysWhy = saysWhy || control.text.find("Standard TCP/IP Port monitor cannot be opened") != std::string::npos;
    }
    EXPECT_TRUE(saysWhy);
    PostMessageA(refusal, WM_COMMAND, IDOK, 0);
    wintest::LetWindowsSettle(500);
    EXPECT_EQ(rows.Checkbox(0), 0) << "no port monitor: the tick is taken back";
    EXPECT_TRUE(IsWindowEnabled(list)) << "and no search started";

    const auto before = ReadRows(rows);
    PostMessageA(window, WM_COMMAND, kRefreshId, 0);
    Sleep(300);
    WaitUntilSearchEnds();
    EXPECT_TRUE(IsWindowEnabled(list));
    EXPECT_EQ(ReadRows(rows), before);
    EXPECT_EQ(rows.Checkbox(0), 0) << "the search shows that no port exists";
}

// The window's icons cannot be checked from here: under Wine, WM_GETICON
// sent from another process answers 0 even where the icon is set.
TEST_F(SelectorInLab, SystemMenuAboutShowsTheDescription)
{
    PostMessageA(window, WM_SYSCOMMAND, 0x1000, 0);
    HWND about = wintest::WaitForTopWindow("About Network Printer Selector", program.ProcessId(), 20000);
    ASSERT_NE(nullptr, about);
    const auto controls = wintest::ReadControls(about);
    const wintest::ControlInfo* text = wintest::FindControl(controls, 2015);
    ASSERT_NE(nullptr, text);
    EXPECT_EQ(text->text.rfind("The network printer selector application allows you to connect your PC", 0), 0u);
    EXPECT_NE(text->text.find("\"enable\" checkbox"), std::string::npos);
    PostMessageA(about, WM_COMMAND, IDOK, 0);
    for (int i = 0; i < 50 && IsWindow(about); ++i) {
        Sleep(100);
    }
    EXPECT_FALSE(IsWindow(about));
}

// Run on its own, while the lab floods the selector's ports with forged
// replies: datagrams naming the family 34 times from the lab's printers and
// other devices' replies from thousands of addresses. The window answers
// within a second all through a search, and each device has one row.
TEST(SelectorUnderAFlood, AnswersWithinASecondAndListsEachDeviceOnce)
{
    if (Environment("VIVARO_NETLAB_FLOOD").empty()) {
        GTEST_SKIP() << "runs only while the lab floods the selector with forged replies";
    }
    wintest::RunningProgram program;
    ASSERT_TRUE(program.Start("devfinder.exe"));
    HWND window = wintest::WaitForTopWindow(kTitle, program.ProcessId(), kWindowTimeoutMs);
    ASSERT_NE(nullptr, window);
    HWND refresh = GetDlgItem(window, kRefreshId);
    PostMessageA(window, WM_COMMAND, kRefreshId, 0);
    bool searched = false;
    int unanswered = 0;
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < 30000) {
        const bool searching = !IsWindowEnabled(refresh);
        searched = searched || searching;
        DWORD_PTR result = 0;
        if (!SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 1000, &result)) {
            ++unanswered;
            ADD_FAILURE() << "no answer within a second, " << GetTickCount() - start << " ms after Refresh";
        }
        if (searched && !searching) {
            break;
        }
        Sleep(100);
    }
    EXPECT_TRUE(searched) << "the search ran";
    EXPECT_EQ(unanswered, 0);

    RemoteListView rows(GetDlgItem(window, kListId), program.ProcessId());
    ASSERT_TRUE(rows.Ready());
    const auto expected = ExpectedRows();
    std::map<std::string, std::string> found;
    for (int row = 0; row < rows.Count(); ++row) {
        found[rows.Text(row, 1)] = rows.Text(row, 2);
    }
    EXPECT_EQ(rows.Count(), static_cast<int>(expected.size())) << "one row per device";
    EXPECT_EQ(found, expected);
    PostMessageA(window, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(program.WaitForExit(15000));
}

// Run on its own, while every local port from 1025 to 1034 is taken.
TEST(SelectorWithoutPorts, SaysTheSearchCannotRunAndEnds)
{
    if (Environment("VIVARO_NETLAB_PORTS_TAKEN").empty()) {
        GTEST_SKIP() << "runs only while the lab holds ports 1025 to 1034";
    }
    wintest::RunningProgram program;
    ASSERT_TRUE(program.Start("devfinder.exe"));
    HWND box = wintest::WaitForTopWindow(kProgramName, program.ProcessId(), kWindowTimeoutMs);
    ASSERT_NE(nullptr, box);
    bool saysWhy = false;
    for (const auto& control : wintest::ReadControls(box)) {
        saysWhy = saysWhy || control.text.find("cannot run") != std::string::npos;
    }
    EXPECT_TRUE(saysWhy);
    EXPECT_EQ(nullptr, FindWindowA(nullptr, kTitle)) << "the selector never opens without its socket";
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    DWORD exitCode = 0;
    EXPECT_TRUE(program.WaitForExit(15000, &exitCode));
    EXPECT_EQ(exitCode, 1u);
}

}  // namespace
