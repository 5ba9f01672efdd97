// The uninstaller from its loading dialog to its last message, under Wine,
// with printers of the package in the prefix's spooler: the loading texts
// and bar, the spooler really stopped and started, exactly the package's
// printers listed with their icons, the context menu with and without the
// support registry value, Select All, the details dialog against unzplan,
// and the masking tool started with " /d" and waited for.
#include "LiveWindow.h"
#include "UninstallerTestSupport.h"
#include "../netlab/RemoteListView.h"

#include <windows.h>
#include <winspool.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace {

using namespace uninstaller_test;

constexpr DWORD kTimeoutMs = 30000;
const char kScriptName[] = "Xunz___Z.unm";
const char kMakerKey[] = "SOFTWARE\\ARVEL NORVANE";

const char kScript[] =
    "[UnPrinterDrivers]\r\n"
    "\"ARVEL Vivaro 5320MF\",V5320,1\r\n"
    "Veneer,VEN,2\r\n"
    "[V5320.Files]\r\nZV5320.DLL\r\nZV5320UI.DLL\r\n"
    "[V5320.DeleteIni]\r\nWIN.INI,Vivaro,Installed\r\n"
    "[VEN.Files]\r\nVENEER32.EXE\r\n";

const TestPrinter kPrinters[] = {
    {"Sel Office", "ARVEL Vivaro 5320MF", true, nullptr},
    {"Sel Lab", "ARVEL Vivaro 5320MF", true, nullptr},
    {"Sel Office (masked)", "Veneer", false, "Sel Office"},
    {"Sel Guest", "Other Drv", false, nullptr},
};

DWORD SpoolerState()
{
    SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT);
    if (!manager)
        return 0;
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

void SetDetailsValue(bool set)
{
    const std::string key = std::string(kMakerKey) + "\\XUINST_Z";
    if (!set) {
        RegDeleteKeyA(HKEY_CURRENT_USER, key.c_str());
        return;
    }
    HKEY handle = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyA(HKEY_CURRENT_USER, key.c_str(), &handle));
    RegSetValueExA(handle, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>("1"), 2);
    RegCloseKey(handle);
}

class UninstallerSelection : public ::testing::Test {
protected:
    void SetUp() override
    {
        scriptPath_ = ProgramDirectory() + kScriptName;
        std::ofstream(scriptPath_, std::ios::binary) << kScript;
        AddTestPrinters(kPrinters);
        if (HasFatalFailure())
            return;
        ASSERT_TRUE(SetDefaultPrinterA(const_cast<char*>("Sel Office")));
        SetDetailsValue(false);
    }

    void TearDown() override
    {
        DeleteTestPrinters(kPrinters);
        DeleteFileA(scriptPath_.c_str());
        SetDetailsValue(false);
    }

    // Starts the program and waits for its main window past the loading dialog.
    HWND Start(wintest::RunningProgram& program, const std::function<void(HWND loading)>& whileLoading = {})
    {
        EXPECT_TRUE(program.Start("uninstaller.exe"));
        HWND loading = wintest::WaitForTopWindow(kLoadingTitle, program.ProcessId(), kTimeoutMs);
        EXPECT_NE(nullptr, loading) << "the loading dialog comes first";
        if (loading && whileLoading)
            whileLoading(loading);
        HWND main = nullptr;
        EXPECT_TRUE(WaitFor(
            [&] { return (main = FindMainWindow(program.ProcessId())) != nullptr; },
            kTimeoutMs));
        return main;
    }

    std::string scriptPath_;
};

TEST_F(UninstallerSelection, LoadingDialogRestartsTheSpoolerThenListsThePackagesPrinters)
{
    wintest::RunningProgram program;
    std::vector<int> positions;
    bool spoolerSeenStopped = false;
    HWND main = Start(program, [&](HWND loading) {
        EXPECT_EQ("Cr\xE9" "ation de la base de donn\xE9" "es de d\xE9sinstallation en cours.\nCe processus peut prendre "
                  "quelque temps.",
                  wintest::WindowText(GetDlgItem(loading, 1083)));
        EXPECT_FALSE(IsWindowVisible(GetDlgItem(loading, 1086)));
        HWND bar = GetDlgItem(loading, 1023);
        EXPECT_EQ(99, SendMessageA(bar, PBM_GETRANGE, FALSE, 0));
        bool pictured = false;
        while (IsWindow(loading)) {
            const int position = static_cast<int>(SendMessageA(bar, PBM_GETPOS, 0, 0));
            if (positions.empty() || positions.back() != position)
                positions.push_back(position);
            const DWORD state = SpoolerState();
            spoolerSeenStopped = spoolerSeenStopped || state == SERVICE_STOPPED || state == SERVICE_STOP_PENDING;
            if (!pictured && position > 20) {
                pictured = wintest::SaveWindowPng(loading, "screenshots\\uninstaller_loading.png");
            }
            Sleep(30);
        }
    });
    ASSERT_NE(nullptr, main);
    EXPECT_TRUE(spoolerSeenStopped) << "the spooler is stopped while loading";
    EXPECT_EQ(static_cast<DWORD>(SERVICE_RUNNING), SpoolerState()) << "and running again";
    ASSERT_GE(positions.size(), 10u);
    EXPECT_LT(positions.front(), 10);
    // Step 6 sets 20 and steps on in the same tick: the bar goes back once.
    int drops = 0;
    for (size_t i = 1; i < positions.size(); ++i)
        if (positions[i] < positions[i - 1] && positions[i] >= 20 && positions[i] <= 40)
            ++drops;
    EXPECT_EQ(1, drops);
    EXPECT_GE(*std::max_element(positions.begin(), positions.end()), 90);

    HWND list = FindDescendant(main, kPrinterListId);
    ASSERT_NE(nullptr, list);
    RemoteListView rows(list, program.ProcessId());
    ASSERT_TRUE(rows.Ready());
    ASSERT_TRUE(WaitFor([&] { return rows.Count() == 3; }, 10000)) << rows.Count();
    std::vector<std::string> lines;
    for (int row = 0; row < rows.Count(); ++row) {
        std::string line;
        for (int column = 0; column < 6; ++column)
            line += (column ? "|" : "") + rows.Text(row, column);
        lines.push_back(line);
    }
    std::sort(lines.begin(), lines.end());
    EXPECT_EQ((std::vector<std::string>{"Sel Lab|ARVEL Vivaro 5320MF|Local|Non|Oui|(n/a)",
                                        "Sel Office (masked)|Veneer|Local|Non|Non|Sel Office",
                                        "Sel Office|ARVEL Vivaro 5320MF|Local|Oui|Oui|(n/a)"}),
              lines)
        << "the other vendor's printer is never listed";
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(main, 1080))) << "nothing selected yet";
    wintest::LetWindowsSettle();
    EXPECT_TRUE(wintest::SaveWindowPng(main, "screenshots\\uninstaller_printers_details.png"));

    HWND panel = GetParent(list);
    PostMessageA(panel, WM_COMMAND, 40004, 0);  // Large Icons
    wintest::LetWindowsSettle(500);
    EXPECT_EQ(static_cast<LONG_PTR>(LVS_ICON), GetWindowLongPtrA(list, GWL_STYLE) & LVS_TYPEMASK);
    EXPECT_TRUE(wintest::SaveWindowPng(main, "screenshots\\uninstaller_printers_large_icons.png"));
    PostMessageA(panel, WM_COMMAND, 40007, 0);  // Details again

    PostMessageA(panel, WM_COMMAND, 40010, 0);  // Select All
    EXPECT_TRUE(WaitFor([&] { return SendMessageA(list, LVM_GETSELECTEDCOUNT, 0, 0) == 3; }, 5000));
    EXPECT_TRUE(WaitFor([&] { return IsWindowEnabled(GetDlgItem(main, 1080)) != FALSE; }, 5000));

    PostMessageA(main, WM_COMMAND, 1052, 0);
    EXPECT_TRUE(program.WaitForExit(10000));
}

struct OpenedMenu {
    int height = 0;                  // of the popup window
    std::vector<std::string> items;  // empty where the menu cannot be read from outside
};

// The popup menu of the list, opened by a right click on the first item.
// The item's rectangle is asked for through a buffer in the program: the
// list view writes the answer where lParam points in its own memory.
OpenedMenu OpenContextMenu(HWND list, DWORD processId, const std::string& screenshot)
{
    const RECT cell = RemoteListView(list, processId).CellRect(0, 0);
    // Past the small icon, on the name.
    const int x = cell.left + 25;
    const int y = (cell.top + cell.bottom) / 2;
    POINT point = {x, y};
    ClientToScreen(list, &point);
    SetCursorPos(point.x, point.y);
    PostMessageA(list, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(x, y));
    PostMessageA(list, WM_RBUTTONUP, 0, MAKELPARAM(x, y));
    HWND popup = nullptr;
    WaitFor(
        [&] {
            popup = nullptr;
            for (HWND window = FindWindowA("#32768", nullptr); window && !popup;
                 window = FindWindowExA(nullptr, window, "#32768", nullptr))
                if (IsWindowVisible(window))
                    popup = window;
            return popup != nullptr;
        },
        5000);
    OpenedMenu opened;
    if (!popup)
        return opened;
    wintest::LetWindowsSettle();
    wintest::SaveWindowPng(popup, screenshot);
    RECT bounds = {};
    GetWindowRect(popup, &bounds);
    opened.height = bounds.bottom - bounds.top;
    std::vector<std::string>& items = opened.items;
    // Windows answers with the menu, which GetMenuItemCount can read from
    // another process; Wine's menus are private to their process.
    HMENU menu = reinterpret_cast<HMENU>(SendMessageA(popup, 0x01E1 /* MN_GETHMENU */, 0, 0));
    for (int position = 0; menu && position < GetMenuItemCount(menu); ++position) {
        char text[64] = "";
        GetMenuStringA(menu, position, text, sizeof text, MF_BYPOSITION);
        const UINT state = GetMenuState(menu, position, MF_BYPOSITION);
        std::string item = text[0] ? text : "-";
        if (state & MF_CHECKED)
            item += " [checked]";
        if (state & MF_GRAYED)
            item += " [grayed]";
        items.push_back(item);
    }
    PostMessageA(popup, WM_KEYDOWN, VK_ESCAPE, 0);
    PostMessageA(popup, WM_KEYDOWN, VK_ESCAPE, 0);
    return opened;
}

TEST_F(UninstallerSelection, TheContextMenuOffersOtherDetailsOnlyWithTheRegistryValue)
{
    int heights[2] = {};
    for (bool valueSet : {false, true}) {
        SetDetailsValue(valueSet);
        wintest::RunningProgram program;
        HWND main = Start(program);
        ASSERT_NE(nullptr, main);
        HWND list = FindDescendant(main, kPrinterListId);
        ASSERT_TRUE(WaitFor([&] { return SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) == 3; }, 10000));
        const OpenedMenu menu =
            OpenContextMenu(list, program.ProcessId(),
                            valueSet ? "screenshots\\uninstaller_menu_details.png" : "screenshots\\uninstaller_menu.png");
        heights[valueSet] = menu.height;
        EXPECT_GT(menu.height, 0) << "registry value " << valueSet;
        // The right click selected the first item, so removal is offered.
        std::vector<std::string> expected = {"Large Icons", "Small Icons", "List", "Details [checked]", "-",
                                             "Select All",  "-",           "Remove Printer(s)"};
        if (valueSet)
            expected.insert(expected.end(), {"-", "Other Details..."});
        if (!menu.items.empty()) {
            EXPECT_EQ(expected, menu.items) << "registry value " << valueSet;
        }
        PostMessageA(main, WM_COMMAND, 1052, 0);
        EXPECT_TRUE(program.WaitForExit(10000));
    }
    // Two more entries, a separator and an item, with the value.
    EXPECT_GT(heights[1], heights[0] + 10);
}

TEST_F(UninstallerSelection, TheDetailsDialogShowsThePlanUnzplanComputes)
{
    SetDetailsValue(true);
    wintest::RunningProgram program;
    HWND main = Start(program);
    ASSERT_NE(nullptr, main);
    HWND list = FindDescendant(main, kPrinterListId);
    ASSERT_TRUE(WaitFor([&] { return SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) == 3; }, 10000));
    HWND panel = GetParent(list);
    PostMessageA(panel, WM_COMMAND, 40010, 0);  // Select All
    ASSERT_TRUE(WaitFor([&] { return SendMessageA(list, LVM_GETSELECTEDCOUNT, 0, 0) == 3; }, 5000));
    PostMessageA(panel, WM_COMMAND, 40012, 0);  // Other Details...
    HWND details = wintest::WaitForTopWindow("Extra Info - Multiple Printers", program.ProcessId(), kTimeoutMs);
    ASSERT_NE(nullptr, details);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(details, 1017))) << "three printers are selected";

    // unzplan on the same script and printers, every offered printer going.
    std::ofstream("uninstaller_selection_printers.txt", std::ios::binary)
        << "Sel Office\tARVEL Vivaro 5320MF\t\t\tdo\n"
           "Sel Lab\tARVEL Vivaro 5320MF\t\t\to\n"
           "Sel Office (masked)\tVeneer\tSel Office\t\t\n"
           "Sel Guest\tOther Drv\t\t\t\n";
    ASSERT_EQ(0u, RunConsole("unzplan.exe --printers uninstaller_selection_printers.txt \"" + scriptPath_ + "\"",
                             "uninstaller_selection_unzplan.txt"));
    const std::vector<std::string> report = ReadLines("uninstaller_selection_unzplan.txt");
    auto planLines = [&](const std::string& list) {
        std::vector<std::string> lines;
        const std::string prefix = "plan." + list + "\t";
        for (const std::string& line : report)
            if (line.compare(0, prefix.size(), prefix) == 0)
                lines.push_back(line.substr(prefix.size()));
        return lines;
    };

    HWND detailsList = GetDlgItem(details, 1108);
    RemoteListView shown(detailsList, program.ProcessId());
    ASSERT_TRUE(shown.Ready());
    struct Choice {
        int radio;
        const char* list;
        int columns;
    } choices[] = {{1100, "Files", 1}, {1097, "DeleteIni", 3}, {1102, "Monitors", 1}, {1103, "RegistryKeys", 4}};
    for (const Choice& choice : choices) {
        SendMessageA(GetDlgItem(details, choice.radio), BM_CLICK, 0, 0);
        wintest::LetWindowsSettle(200);
        std::vector<std::string> rows;
        for (int row = 0; row < shown.Count(); ++row) {
            std::string line;
            for (int column = 0; column < choice.columns; ++column)
                line += (column ? "," : "") + shown.Text(row, column);
            rows.push_back(line);
        }
        std::vector<std::string> expected = planLines(choice.list);
        if (expected.empty())
            expected = {"(empty)" + std::string(choice.columns - 1, ',')};
        EXPECT_EQ(expected, rows) << choice.list;
        if (choice.radio == 1100) {
            EXPECT_NE(std::find(rows.begin(), rows.end(), "VENEER32.EXE"), rows.end());
            EXPECT_TRUE(wintest::SaveWindowPng(details, "screenshots\\uninstaller_details_files.png"));
        }
    }
    PostMessageA(details, WM_COMMAND, IDOK, 0);
    PostMessageA(main, WM_COMMAND, 1052, 0);
    EXPECT_TRUE(program.WaitForExit(10000));
}

// Removes everything offered: the masking tool is started with " /d" once
// the printers are gone and waited for, the removal ends with text 199.
TEST_F(UninstallerSelection, RemovalStartsTheMaskingToolAndEndsWithText199)
{
    const std::string toolDirectory = ProgramDirectory() + "veneer-test\\";
    CreateDirectoryA(toolDirectory.c_str(), nullptr);
    ASSERT_TRUE(CopyFileA((ProgramDirectory() + "veneer_standin.exe").c_str(),
                          (toolDirectory + "VENEER32.EXE").c_str(), FALSE));
    HKEY paths = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\ARVEL NORVANE\\OEM\\OEMPaths", &paths));
    RegSetValueExA(paths, "Missing", 0, REG_SZ, reinterpret_cast<const BYTE*>("C:\\nowhere"), 11);
    RegSetValueExA(paths, "Tool", 0, REG_SZ, reinterpret_cast<const BYTE*>(toolDirectory.c_str()),
                   static_cast<DWORD>(toolDirectory.size() + 1));
    RegCloseKey(paths);
    const char log[] = "uninstaller_veneer_log.txt";
    const char trace[] = "uninstaller_selection_trace.txt";
    DeleteFileA(log);
    DeleteFileA(trace);
    SetEnvironmentVariableA("VIVARO_VENEER_LOG", log);
    SetEnvironmentVariableA("VIVARO_TRACE_FILE", trace);

    wintest::RunningProgram program;
    HWND main = Start(program);
    ASSERT_NE(nullptr, main);
    HWND list = FindDescendant(main, kPrinterListId);
    ASSERT_TRUE(WaitFor([&] { return SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) == 3; }, 10000));
    HWND panel = GetParent(list);
    PostMessageA(panel, WM_COMMAND, 40010, 0);
    ASSERT_TRUE(WaitFor([&] { return SendMessageA(list, LVM_GETSELECTEDCOUNT, 0, 0) == 3; }, 5000));
    PostMessageA(panel, WM_COMMAND, 40009, 0);  // Remove Printer(s)

    auto traced = [&](const std::string& text) {
        for (const std::string& line : ReadLines(trace))
            if (line.find(text) != std::string::npos)
                return true;
        return false;
    };
    // "Sel Office" was the default; the printer that stays takes its place.
    HWND defaultReplaced = nullptr;
    EXPECT_TRUE(WaitFor(
        [&] { return (defaultReplaced = FindTopWindow(program.ProcessId(), "#32770", kTitle)) != nullptr; },
        kTimeoutMs));
    if (defaultReplaced) {
        EXPECT_EQ("L'imprimante par d\xE9" "faut a \xE9t\xE9 supprim\xE9" "e.\nLa nouvelle imprimante par d\xE9" "faut "
                  "est 'Sel Guest'",
                  MessageBoxText(defaultReplaced));
        EXPECT_TRUE(ReadLines(log).empty()) << "the tool waits for the printers' phase";
        PostMessageA(defaultReplaced, WM_COMMAND, IDOK, 0);
        WaitFor([&] { return !IsWindow(defaultReplaced); }, 5000);
    }
    // Only the removal of the last printer of the package takes the tool, so
    // it starts once no printer is left; the drivers wait for it.
    ASSERT_TRUE(WaitFor([&] { return !ReadLines(log).empty(); }, kTimeoutMs)) << "the tool was started";
    Sleep(500);
    EXPECT_FALSE(traced("driver deleted")) << "phase 4 waits for the tool";
    HWND finished = nullptr;
    EXPECT_TRUE(WaitFor([&] { return (finished = FindTopWindow(program.ProcessId(), "#32770", kTitle)) != nullptr; },
                        kTimeoutMs));
    const std::vector<std::string> toolLog = ReadLines(log);
    ASSERT_EQ(2u, toolLog.size());
    EXPECT_EQ(" /d", toolLog[0]);
    EXPECT_EQ("ended", toolLog[1]);
    for (const char* printer : {"Sel Office", "Sel Lab", "Sel Office (masked)"})
        EXPECT_TRUE(traced(std::string("printer deleted: ") + printer)) << printer;
    if (finished) {
        EXPECT_EQ("La d\xE9sinstallation de l'imprimante est termin\xE9" "e !", MessageBoxText(finished));
        EXPECT_TRUE(wintest::SaveWindowPng(finished, "screenshots\\uninstaller_finished.png"));
        PostMessageA(finished, WM_COMMAND, IDOK, 0);
    }
    DWORD exitCode = 0xdeadbeef;
    EXPECT_TRUE(program.WaitForExit(10000, &exitCode));
    EXPECT_EQ(0u, exitCode);
    EXPECT_EQ(static_cast<DWORD>(SERVICE_RUNNING), SpoolerState()) << "phase 16 started the spooler again";

    SetEnvironmentVariableA("VIVARO_VENEER_LOG", nullptr);
    SetEnvironmentVariableA("VIVARO_TRACE_FILE", nullptr);
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\ARVEL NORVANE\\OEM\\OEMPaths");
    DeleteFileA((toolDirectory + "VENEER32.EXE").c_str());
    RemoveDirectoryA(toolDirectory.c_str());
}

}  // namespace
