// The whole removal on a populated prefix. The test installs what the
// package's installers leave behind (printers with the package's printer
// data, their driver, a print processor, a monitor, a service, files in the
// driver, system and program directories with one held open, shortcuts, an
// INI entry, Run values, "OEMPaths" and registry keys) next to another
// vendor's printer, driver, files and keys; snapshots the registry and the
// file tree; runs the uninstaller through its window; snapshots again; and
// checks that everything that went is named by the plan unzplan prints for
// the same script and printers, that everything the plan names is gone
// (or, for the file held open, scheduled for the next start), and that the
// rest is untouched.
#include "LiveWindow.h"
#include "PrefixSnapshot.h"
#include "UninstallerTestSupport.h"
#include "../netlab/RemoteListView.h"

#include <windows.h>
#include <winspool.h>
#include <commctrl.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace {

using namespace uninstaller_test;

constexpr DWORD kWindowTimeoutMs = 30000;
const char kTraceFile[] = "uninstaller_removal_trace.txt";
const char kDriver[] = "ARVEL NORVANE Vivaro 5320MF";
// The masking tool's driver: no profile names it, it goes with its printers.
const char kMaskDriver[] = "Veneer Mask Driver";
const char kForeignDriver[] = "Foreign Vendor Laser";
// Read as at most 32 bytes, so the installers' ids are short.
const char kUniqueId[] = "ZV5320.Printer.7D21";
const char kPrintProcessorKey[] =
    "SYSTEM\\CurrentControlSet\\Control\\Print\\Environments\\Windows NT x86\\Print Processors\\ZVPROC";
const char kMonitorKey[] = "SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\Vivaro Test Monitor";
const char kRunKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
const char kService[] = "VivaroTestSvc";
// The printer list's "Other Details..." and two of the details dialog's lists.
constexpr WPARAM kOtherDetailsCommand = 40012;
constexpr int kDetailsFilesChoice = 1100;
constexpr int kDetailsRegistryChoice = 1103;
const char kDetailsTitle[] = "Extra Info - Multiple Printers";

// The printer driver installer's uninstall script.
const char kScript[] =
    "[UnPrinterDrivers]\r\n"
    "\"ARVEL NORVANE Vivaro 5320MF\",V5320,1\r\n"
    "[Unz_CatchAll]\r\n"
    "\"ARVEL Common\",COMMON,2\r\n"
    "[V5320.Files]\r\n"
    "ZV5320.DLL\r\n"
    "ZV5320UI.DLL=1\r\n"
    "ZVHELP.HLP\r\n"
    "ZLOCKED.DLL\r\n"
    "ZSTAT.EXE\r\n"
    "[V5320.PrintProcessors]\r\nZVPROC\r\n"
    "[V5320.Monitors]\r\nVivaro Test Monitor\r\n"
    "[V5320.Services]\r\nVivaroTestSvc\r\n"
    "[V5320.Shortcuts]\r\n"
    "\"ARVEL NORVANE\",\"Vivaro Status\",\"\"\r\n"
    "\"ARVEL NORVANE\",,\r\n"
    "[V5320.DeleteIni]\r\nwin.ini,Vivaro,Installed\r\n"
    "[V5320.DeleteLoadRun]\r\nVivaroStatus,ZSTAT.EXE\r\n"
    "[V5320.RegistryKeys]\r\n"
    "HKLM,\"SOFTWARE\\ARVEL NORVANE\\V5320\",\"\",1\r\n"
    "HKCU,\"Software\\ARVEL NORVANE\\Settings\",\"LastPort\"\r\n"
    "[COMMON.Files]\r\nZCOMMON.DLL\r\n";

const char kIniSection[] = "[Vivaro]\r\nInstalled=1\r\nKeep=1\r\n";

std::string WindowsDirectory()
{
    char directory[MAX_PATH] = "";
    GetWindowsDirectoryA(directory, sizeof directory);
    return WithBackslash(directory);
}

std::string ShellFolder(int csidl)
{
    char directory[MAX_PATH] = "";
    SHGetFolderPathA(nullptr, csidl, nullptr, 0, directory);
    return WithBackslash(directory);
}

bool StartsWith(const std::string& text, const std::string& prefix)
{
    return Lowercase(text).compare(0, prefix.size(), Lowercase(prefix)) == 0;
}

std::string ReadFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

void SetValue(HKEY root, const std::string& key, const char* name, const std::string& data)
{
    HKEY opened = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &opened, nullptr))
        << key;
    RegSetValueExA(opened, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                   static_cast<DWORD>(data.size() + 1));
    RegCloseKey(opened);
}

void DeleteTree(HKEY root, const std::string& key) { SHDeleteKeyA(root, key.c_str()); }

// A message box of the program: a dialog that is not the window given (its
// main window, or the loading dialog while it loads).
HWND FindMessageBox(DWORD processId, HWND other)
{
    struct Search {
        DWORD processId;
        HWND other;
        HWND found;
    } search = {processId, other, nullptr};
    EnumWindows(
        [](HWND window, LPARAM parameter) -> BOOL {
            auto* s = reinterpret_cast<Search*>(parameter);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner == s->processId && window != s->other && IsWindowVisible(window) &&
                wintest::WindowClass(window) == "#32770") {
                s->found = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Selects or clears one item of another process's list view: the item
// record must live in that process.
bool SetRemoteSelection(HANDLE process, HWND list, int item, bool selected)
{
    LVITEMA state = {};
    state.stateMask = LVIS_SELECTED;
    state.state = selected ? LVIS_SELECTED : 0;
    void* remote = VirtualAllocEx(process, nullptr, sizeof state, MEM_COMMIT, PAGE_READWRITE);
    if (!remote)
        return false;
    SIZE_T written = 0;
    bool ok = WriteProcessMemory(process, remote, &state, sizeof state, &written) && written == sizeof state &&
              SendMessageA(list, LVM_SETITEMSTATE, item, reinterpret_cast<LPARAM>(remote)) != FALSE;
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    return ok;
}

// The printers of the populated prefix.
const TestPrinter kPrinters[] = {
    {"Vivaro Office", kDriver, true, nullptr},
    {"Vivaro Lab", kDriver, true, nullptr},
    {"Vivaro Office (masked)", kMaskDriver, false, "Vivaro Office"},
    {"Foreign Printer", kForeignDriver, false, nullptr},
};

// How a run of the program goes beyond picking printers and Uninstall.
struct RunOptions {
    // The printers the list offers, in alphabetical order.
    std::vector<std::string> offered = {"Vivaro Lab", "Vivaro Office", "Vivaro Office (masked)"};
    // Opens "Other Details..." with every printer selected before the pick.
    bool detailsWithEverythingSelected = false;
    // Presses Enter and Esc on the main window while the phases run.
    bool keysDuringPhases = false;
    // Ends the process abruptly when its first message box shows.
    bool killAtFirstMessage = false;
};

class PopulatedPrefix : public ::testing::Test {
protected:
    void SetUp() override
    {
        drivers_ = PrinterDriverDirectory();
        system_ = SystemDirectory();
        windows_ = WindowsDirectory();
        programs_ = ShellFolder(CSIDL_COMMON_PROGRAMS);
        package_ = ShellFolder(CSIDL_PROGRAM_FILES) + "ARVEL NORVANE\\Vivaro\\";
        ASSERT_FALSE(drivers_.empty());
        RemoveEverything();
        Install();
    }

    void TearDown() override
    {
        if (lockedFile_ != INVALID_HANDLE_VALUE)
            CloseHandle(lockedFile_);
        lockedFile_ = INVALID_HANDLE_VALUE;
        CloseQueue();
        RemoveEverything();
        SetEnvironmentVariableA("VIVARO_TRACE_FILE", nullptr);
    }

    std::vector<std::string> InstalledFiles() const
    {
        return {drivers_ + "Xunz___Z.unm", drivers_ + "ZV5320.DLL", drivers_ + "3\\ZV5320UI.DLL",
                system_ + "ZCOMMON.DLL", system_ + "ZLOCKED.DLL", system_ + "ZRESTART.EXE",
                package_ + "ZSTAT.EXE", package_ + "sub\\ZVHELP.HLP", package_ + "README.TXT",
                programs_ + "ARVEL NORVANE\\Vivaro Status.lnk", system_ + "FOREIGN.DLL", drivers_ + "FOREIGN.DLL",
                drivers_ + "3\\FOREIGN.HLP"};
    }

    void Install()
    {
        CreateDirectoryA((drivers_ + "3").c_str(), nullptr);
        SHCreateDirectoryExA(nullptr, (package_ + "sub").c_str(), nullptr);
        CreateDirectoryA((programs_ + "ARVEL NORVANE").c_str(), nullptr);
        for (const std::string& path : InstalledFiles())
            ASSERT_TRUE(WriteFile(path, path.find("Xunz___Z") != std::string::npos ? kScript : "trace")) << path;

        const std::string winIni = windows_ + "win.ini";
        originalWinIni_ = ReadFile(winIni);
        ASSERT_TRUE(WriteFile(winIni, originalWinIni_ + kIniSection));

        SetValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\ARVEL NORVANE\\OEM_Z\\OEMPaths", "App",
                 package_.substr(0, package_.size() - 1));
        SetValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\ARVEL NORVANE\\OEM_Z\\ProgramGroups", "Group", "ARVEL NORVANE");
        SetValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\ARVEL NORVANE\\V5320\\Settings", "Port", "LPT1:");
        SetValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\ARVEL NORVANE\\XSR32__Z\\Scan", "Model", "5310");
        SetValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\ARVEL NORVANE\\Filters", "Count", "0");
        SetValue(HKEY_CURRENT_USER, "Software\\ARVEL NORVANE\\Settings", "LastPort", "LPT1:");
        SetValue(HKEY_CURRENT_USER, "Software\\ARVEL NORVANE\\Settings", "Language", "fr");
        SetValue(HKEY_LOCAL_MACHINE, kRunKey, "VivaroStatus", package_ + "ZSTAT.EXE");
        SetValue(HKEY_LOCAL_MACHINE, kRunKey, "ForeignTool", "C:\\foreign.exe");
        SetValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\Foreign Vendor\\Laser", "Installed", "1");
        SetValue(HKEY_LOCAL_MACHINE, kMonitorKey, "Driver", "zvmon.dll");
        SetValue(HKEY_LOCAL_MACHINE, kPrintProcessorKey, "Driver", "zvproc.dll");
        SetValue(HKEY_CLASSES_ROOT, std::string(kUniqueId) + "\\DefaultIcon", "", "zv5320.dll,0");

        SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
        ASSERT_NE(nullptr, manager);
        SC_HANDLE service = CreateServiceA(manager, kService, "Vivaro test service", SERVICE_ALL_ACCESS,
                                           SERVICE_WIN32_OWN_PROCESS, SERVICE_DEMAND_START, SERVICE_ERROR_IGNORE,
                                           (system_ + "ZSTAT.EXE").c_str(), nullptr, nullptr, nullptr, nullptr, nullptr);
        EXPECT_NE(nullptr, service) << GetLastError();
        if (service)
            CloseServiceHandle(service);
        CloseServiceHandle(manager);

        for (const char* driver : {kDriver, kMaskDriver, kForeignDriver})
            ASSERT_TRUE(AddTestDriver(driver)) << driver;
        for (const TestPrinter& printer : kPrinters)
            InstallPrinter(printer);
        ASSERT_TRUE(SetDefaultPrinterA("Vivaro Office"));

        // A file of the package in use: it can only go at the next start.
        lockedFile_ = CreateFileA((system_ + "ZLOCKED.DLL").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, lockedFile_);
    }

    void InstallPrinter(const TestPrinter& printer)
    {
        HANDLE handle = nullptr;
        const bool added = AddTestPrinter(printer, &handle);
        ASSERT_NE(nullptr, handle) << printer.name << " error " << GetLastError();
        EXPECT_TRUE(added) << printer.name << ": its printer data";
        if (std::string(printer.name) == "Vivaro Office")
            SetPrinterDataA(handle, const_cast<char*>("UniqueID"), REG_SZ,
                            reinterpret_cast<BYTE*>(const_cast<char*>(kUniqueId)), sizeof kUniqueId);
        if (std::string(printer.name) == "Vivaro Lab") {
            // Two jobs wait in the queue. Wine drops a queue with its last
            // handle, so this one stays open until the removal is over.
            for (int job = 0; job < 2; ++job) {
                BYTE buffer[MAX_PATH + sizeof(ADDJOB_INFO_1A)];
                DWORD needed = 0;
                EXPECT_TRUE(AddJobA(handle, 1, buffer, sizeof buffer, &needed)) << GetLastError();
            }
            queueHandle_ = handle;
            return;
        }
        ClosePrinter(handle);
    }

    void RemoveEverything()
    {
        for (const TestPrinter& printer : kPrinters)
            DeleteTestPrinter(printer.name);
        for (const char* driver : {kDriver, kMaskDriver, kForeignDriver})
            DeletePrinterDriverA(nullptr, nullptr, const_cast<char*>(driver));
        for (const std::string& path : InstalledFiles())
            DeleteFileA(path.c_str());
        RemoveDirectoryA((package_ + "sub").c_str());
        RemoveDirectoryA(package_.c_str());
        RemoveDirectoryA((programs_ + "ARVEL NORVANE").c_str());
        if (!originalWinIni_.empty())
            WriteFile(windows_ + "win.ini", originalWinIni_);
        DeleteTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\ARVEL NORVANE");
        DeleteTree(HKEY_CURRENT_USER, "Software\\ARVEL NORVANE");
        DeleteTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\Foreign Vendor");
        DeleteTree(HKEY_LOCAL_MACHINE, kMonitorKey);
        DeleteTree(HKEY_LOCAL_MACHINE, kPrintProcessorKey);
        DeleteTree(HKEY_CLASSES_ROOT, kUniqueId);
        HKEY run = nullptr;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kRunKey, 0, KEY_ALL_ACCESS, &run) == ERROR_SUCCESS) {
            RegDeleteValueA(run, "VivaroStatus");
            RegDeleteValueA(run, "ForeignTool");
            RegCloseKey(run);
        }
        SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
        if (manager) {
            if (SC_HANDLE service = OpenServiceA(manager, kService, SERVICE_ALL_ACCESS)) {
                DeleteService(service);
                CloseServiceHandle(service);
            }
            CloseServiceHandle(manager);
        }
        // What this test scheduled for the next start is not for the next test.
        HKEY session = nullptr;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Control\\Session Manager", 0,
                          KEY_ALL_ACCESS, &session) == ERROR_SUCCESS) {
            RegDeleteValueA(session, "PendingFileRenameOperations");
            RegCloseKey(session);
        }
    }

    PrefixSnapshot Snapshot() const
    {
        std::string startMenu = ShellFolder(CSIDL_STARTMENU);
        startMenu.pop_back();
        return TakeSnapshot(
            {{HKEY_LOCAL_MACHINE, "HKLM", "SOFTWARE"},
             {HKEY_LOCAL_MACHINE, "HKLM", "SYSTEM\\CurrentControlSet\\Control\\Print"},
             {HKEY_LOCAL_MACHINE, "HKLM", "SYSTEM\\CurrentControlSet\\Control\\Session Manager"},
             {HKEY_LOCAL_MACHINE, "HKLM", "SYSTEM\\CurrentControlSet\\Services"},
             {HKEY_CURRENT_USER, "HKCU", "Software"},
             {HKEY_CURRENT_USER, "HKCU", "Printers"}},
            // The user folders of a Wine prefix lead into the host's home
            // directory, which other programs change; of them only the
            // Start menu is ours to look at. The side-by-side store is large
            // and out of every list the removal searches.
            {"C:\\windows", "C:\\Program Files", "C:\\ProgramData", startMenu},
            {"\\temp", "\\winsxs"});
    }

    // Runs the program through its loading dialog, picks the printers named
    // in selected in its list and presses Uninstall; dismisses its message
    // boxes (their texts land in boxes_) and waits for it to end. Returns
    // the lines of its trace.
    std::vector<std::string> RunUninstall(const std::vector<std::string>& selected, const std::string& screenshot,
                                          const RunOptions& options = {})
    {
        DeleteFileA(kTraceFile);
        SetEnvironmentVariableA("VIVARO_TRACE_FILE", kTraceFile);
        wintest::RunningProgram uninstaller;
        EXPECT_TRUE(uninstaller.Start("uninstaller.exe"));
        HWND loading = wintest::WaitForTopWindow(kLoadingTitle, uninstaller.ProcessId(), kWindowTimeoutMs);
        EXPECT_NE(nullptr, loading) << "the loading dialog comes first";

        // The script is where the program looks and the spooler answers: the
        // loading asks nothing.
        HWND main = nullptr;
        bool loadingPictured = false;
        const DWORD loadingDeadline = GetTickCount() + kWindowTimeoutMs;
        while (!(main = FindMainWindow(uninstaller.ProcessId())) && GetTickCount() < loadingDeadline) {
            if (HWND box = FindMessageBox(uninstaller.ProcessId(), loading)) {
                ADD_FAILURE() << "while loading: " << MessageBoxText(box);
                PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
                WaitFor([&] { return !IsWindow(box); }, 5000);
                continue;
            }
            if (!loadingPictured && loading && IsWindowVisible(loading))
                loadingPictured = wintest::SaveWindowPng(loading, "screenshots\\" + screenshot + "_loading.png");
            Sleep(30);
        }
        if (!main) {
            ADD_FAILURE() << "no main window after the loading";
            uninstaller.Terminate();
            SetEnvironmentVariableA("VIVARO_TRACE_FILE", nullptr);
            return {};
        }

        // Select by name: the order of the list is the program's own.
        HWND list = FindDescendant(main, kPrinterListId);
        RemoteListView rows(list, uninstaller.ProcessId());
        EXPECT_TRUE(rows.Ready());
        const int offeredCount = static_cast<int>(options.offered.size());
        EXPECT_TRUE(WaitFor([&] { return rows.Count() == offeredCount; }, 10000)) << "offered: " << rows.Count();
        std::vector<std::string> offered;
        for (int row = 0; row < rows.Count(); ++row)
            offered.push_back(rows.Text(row, 0));
        std::vector<std::string> sortedOffered = offered;
        std::sort(sortedOffered.begin(), sortedOffered.end());
        EXPECT_EQ(options.offered, sortedOffered) << "the other vendor's printer is never offered";
        const auto pick = [&](const std::vector<std::string>& names) {
            for (size_t item = 0; item < offered.size(); ++item) {
                const bool picked = std::find(names.begin(), names.end(), offered[item]) != names.end();
                EXPECT_TRUE(SetRemoteSelection(uninstaller.Process(), list, static_cast<int>(item), picked))
                    << offered[item];
            }
            EXPECT_TRUE(WaitFor(
                [&] { return SendMessageA(list, LVM_GETSELECTEDCOUNT, 0, 0) == static_cast<LRESULT>(names.size()); },
                5000));
        };
        if (options.detailsWithEverythingSelected) {
            pick(offered);
            OpenAndCloseDetails(uninstaller.ProcessId(), GetParent(list));
        }
        pick(selected);
        EXPECT_TRUE(WaitFor([&] { return IsWindowEnabled(GetDlgItem(main, 1080)) != FALSE; }, 5000));
        wintest::LetWindowsSettle();
        wintest::SaveWindowPng(main, "screenshots\\" + screenshot + "_selection.png");
        PostMessageA(main, WM_COMMAND, 1080, 0);

        // While it runs: answer its message boxes and keep taking pictures
        // of the removal panel.
        const DWORD deadline = GetTickCount() + 120000;
        DWORD exitCode = 0xdeadbeef;
        while (!uninstaller.WaitForExit(100, &exitCode)) {
            if (GetTickCount() > deadline) {
                ADD_FAILURE() << "the program did not end";
                uninstaller.Terminate();
                break;
            }
            if (HWND box = FindMessageBox(uninstaller.ProcessId(), main)) {
                wintest::LetWindowsSettle(200);
                boxes_.push_back(MessageBoxText(box));
                if (options.killAtFirstMessage) {
                    uninstaller.Terminate();
                    uninstaller.WaitForExit(10000, &exitCode);
                    SetEnvironmentVariableA("VIVARO_TRACE_FILE", nullptr);
                    return ReadLines(kTraceFile);
                }
                wintest::SaveWindowPng(box, "screenshots\\" + screenshot + "_message.png");
                PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
                WaitFor([&] { return !IsWindow(box); }, 5000);
                continue;
            }
            // The selection panel hides when the phases start.
            if (options.keysDuringPhases && IsWindow(main) && !IsWindowVisible(GetParent(list))) {
                for (WPARAM key : {VK_RETURN, VK_ESCAPE}) {
                    PostMessageA(main, WM_KEYDOWN, key, 1);
                    PostMessageA(main, WM_KEYUP, key, 0xC0000001);
                }
                ++keysSent_;
            }
            // The last picture taken shows the panel as the phases end.
            if (IsWindow(main) && IsWindowVisible(main))
                wintest::SaveWindowPng(main, "screenshots\\" + screenshot + ".png");
        }
        EXPECT_EQ(0u, exitCode);
        SetEnvironmentVariableA("VIVARO_TRACE_FILE", nullptr);
        return ReadLines(kTraceFile);
    }

    // "Other Details..." of the list's menu, a look at two lists of the
    // plan, then Cancel: each look builds the plan for the selection.
    void OpenAndCloseDetails(DWORD processId, HWND selectionPanel)
    {
        PostMessageA(selectionPanel, WM_COMMAND, kOtherDetailsCommand, 0);
        HWND details = wintest::WaitForTopWindow(kDetailsTitle, processId, kWindowTimeoutMs);
        ASSERT_NE(nullptr, details) << "the details dialog";
        for (int choice : {kDetailsFilesChoice, kDetailsRegistryChoice})
            SendMessageA(details, WM_COMMAND, MAKEWPARAM(choice, BN_CLICKED), 0);
        wintest::SaveWindowPng(details, "screenshots\\uninstaller_removal_partial_details.png");
        PostMessageA(details, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        EXPECT_TRUE(WaitFor([&] { return !IsWindow(details); }, 5000));
    }

    // unzplan's plan for the printers the program traced and the script,
    // put back where the program found it for the while.
    std::vector<std::string> UnzplanPlan(const std::vector<std::string>& trace)
    {
        std::string printers;
        for (const std::string& line : trace)
            if (line.rfind("printer\t", 0) == 0)
                printers += line.substr(8) + "\n";
        EXPECT_TRUE(WriteFile("uninstaller_removal_printers.txt", printers));
        const std::string script = drivers_ + "Xunz___Z.unm";
        const bool scriptWasGone = GetFileAttributesA(script.c_str()) == INVALID_FILE_ATTRIBUTES;
        EXPECT_TRUE(WriteFile(script, kScript));
        EXPECT_EQ(0u, RunConsole("unzplan.exe --printers uninstaller_removal_printers.txt \"" + script + "\"",
                                 "uninstaller_removal_unzplan.txt"));
        if (scriptWasGone)
            DeleteFileA(script.c_str());
        std::vector<std::string> plan;
        for (const std::string& line : ReadLines("uninstaller_removal_unzplan.txt"))
            if (line.rfind("plan.", 0) == 0 || line.rfind("counter.", 0) == 0)
                plan.push_back(line);
        return plan;
    }

    std::string drivers_, system_, windows_, programs_, package_;
    std::string originalWinIni_;
    HANDLE lockedFile_ = INVALID_HANDLE_VALUE;
    HANDLE queueHandle_ = nullptr;
    int keysSent_ = 0;

    // The boxes about the default printer (texts 159 and 160); the end of
    // the removal may show its own.
    std::vector<std::string> DefaultPrinterMessages() const
    {
        std::vector<std::string> found;
        for (const std::string& text : boxes_)
            if (text.find("imprimante par d\xE9" "faut") != std::string::npos)
                found.push_back(text);
        return found;
    }

    void CheckFullRemoval(const PrefixSnapshot& before, const std::vector<std::string>& trace,
                          const std::string& report);

    void CloseQueue()
    {
        if (queueHandle_)
            ClosePrinter(queueHandle_);
        queueHandle_ = nullptr;
    }
    std::vector<std::string> boxes_;
};

// The items of one list of unzplan's plan ("plan.Files" gives the files).
std::vector<std::string> PlanItems(const std::vector<std::string>& plan, const std::string& list)
{
    std::vector<std::string> items;
    const std::string prefix = "plan." + list + "\t";
    for (const std::string& line : plan)
        if (line.compare(0, prefix.size(), prefix) == 0)
            items.push_back(line.substr(prefix.size()));
    return items;
}

std::string Field(const std::string& line, size_t index)
{
    size_t start = 0;
    for (size_t i = 0; i < index; ++i) {
        start = line.find(',', start);
        if (start == std::string::npos)
            return {};
        ++start;
    }
    std::string field = line.substr(start, line.find(',', start) - start);
    field.erase(0, field.find_first_not_of(" \""));
    field.erase(field.find_last_not_of(" \"") + 1);
    return field;
}

std::string FileNameOf(const std::string& path) { return path.substr(path.find_last_of('\\') + 1); }

bool Contains(const std::string& text, const std::string& part) { return Lowercase(text).find(Lowercase(part)) != std::string::npos; }

// Why a line may leave the prefix: the plan, or the printers that go.
struct Explanation {
    std::vector<std::string> plan;
    std::vector<std::string> goingPrinters;
    std::string packageDirectory;   // the "OEMPaths" value
    std::string programsDirectory;  // common Programs
    std::string uniqueId;           // the going default printer's "UniqueID"
    std::string newDefaultPrinter;  // made the default when the default went
    std::vector<std::string> goingDrivers;  // used by printers that went and by none that stays

    // The replacement default printer gets the default attribute and, as
    // the printer's information is written back, a default device mode.
    bool NewDefaultChange(const std::string& line) const
    {
        const std::string printer =
            "value HKLM\\SYSTEM\\CurrentControlSet\\Control\\Print\\Printers\\" + newDefaultPrinter + "\\[";
        return !newDefaultPrinter.empty() &&
               (StartsWith(line, printer + "Attributes]=") || StartsWith(line, printer + "Default DevMode]="));
    }

    // A line that left the prefix, with the plan line or printer that
    // explains it, or empty when nothing does.
    std::string Reason(const std::string& line) const
    {
        const bool isFile = line.rfind("file ", 0) == 0;
        const bool isDirectory = line.rfind("dir ", 0) == 0;
        if (isFile || isDirectory) {
            const std::string path = line.substr(line.find(' ') + 1);
            if (isFile)
                for (const std::string& item : PlanItems(plan, "Files"))
                    if (Lowercase(FileNameOf(path)) == Lowercase(item.substr(0, item.find('='))))
                        return "plan.Files " + item;
            for (const std::string& item : PlanItems(plan, "Shortcuts"))
                if (StartsWith(path + "\\", programsDirectory + Field(item, 0) + "\\"))
                    return "plan.Shortcuts " + item;
            if (isDirectory && StartsWith(path, packageDirectory))
                return "package directory emptied";
            return {};
        }
        if (NewDefaultChange(line))
            return "new default printer " + newDefaultPrinter;
        const std::string key = line.substr(line.find(' ') + 1);
        for (const std::string& item : PlanItems(plan, "RegistryKeys")) {
            const std::string root = Field(item, 0) == "HKCR" ? "HKLM\\SOFTWARE\\Classes" : Field(item, 0);
            const std::string path = root + "\\" + Field(item, 1);
            const std::string value = Field(item, 2);
            const bool tree = !Field(item, 3).empty();
            if (!value.empty() ? StartsWith(key, path + "\\[" + value + "]=")
                               : (Lowercase(key) == Lowercase(path) || StartsWith(key, path + "\\[") ||
                                  (tree && StartsWith(key, path + "\\"))))
                return "plan.RegistryKeys " + item;
        }
        const std::string print = "HKLM\\SYSTEM\\CurrentControlSet\\Control\\Print\\";
        for (const std::string& printer : goingPrinters) {
            if (StartsWith(key, print + "Printers\\" + printer + "\\") || Lowercase(key) == Lowercase(print + "Printers\\" + printer))
                return "printer " + printer;
            if (StartsWith(key, "HKCU\\") && Contains(key, "\\[" + printer + "]="))
                return "printer " + printer;
            // The default printer moved away from a printer that went.
            if (StartsWith(key, "HKCU\\Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows\\[Device]=" + printer + ","))
                return "default printer " + printer;
        }
        if (!uniqueId.empty() && StartsWith(key, "HKLM\\SOFTWARE\\Classes\\" + uniqueId))
            return "UniqueID of a printer that went";
        for (const std::string& driver : PlanItems(plan, "drivers"))
            if (StartsWith(key, print + "Environments\\") && Contains(key, "\\Drivers\\") && Contains(key + "\\", "\\" + driver + "\\"))
                return "plan.drivers " + driver;
        for (const std::string& driver : goingDrivers)
            if (StartsWith(key, print + "Environments\\") && Contains(key, "\\Drivers\\") && Contains(key + "\\", "\\" + driver + "\\"))
                return "driver of printers that went " + driver;
        for (const std::string& monitor : PlanItems(plan, "Monitors"))
            if (StartsWith(key, print + "Monitors\\" + monitor))
                return "plan.Monitors " + monitor;
        for (const std::string& processor : PlanItems(plan, "PrintProcessors"))
            if (StartsWith(key, print + "Environments\\") && Contains(key, "\\Print Processors\\" + processor))
                return "plan.PrintProcessors " + processor;
        for (const std::string& service : PlanItems(plan, "Services"))
            if (StartsWith(key, "HKLM\\SYSTEM\\CurrentControlSet\\Services\\" + service))
                return "plan.Services " + service;
        for (const std::string& item : PlanItems(plan, "DeleteLoadRun"))
            if (StartsWith(key, std::string("HKLM\\") + kRunKey + "\\[" + Field(item, 0) + "]="))
                return "plan.DeleteLoadRun " + item;
        if (StartsWith(key, "HKLM\\SOFTWARE\\ARVEL NORVANE\\OEM_Z\\ProgramGroups"))
            return "the package's program groups";
        return {};
    }
};

bool RunningOnWine() { return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr; }

// Lines that show up after a removal without having been taken away: the
// boot-time deletions, the new default printer, and what Wine writes by
// itself while programs run.
bool ExpectedAddition(const std::string& line, const std::vector<std::string>& goingPrinters)
{
    if (StartsWith(line, "value HKLM\\SYSTEM\\CurrentControlSet\\Control\\Session Manager\\[PendingFileRenameOperations]="))
        return true;
    if (StartsWith(line, "value HKCU\\Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows\\[Device]="))
        return true;
    for (const std::string& printer : goingPrinters)
        if (Contains(line, printer))
            return false;
    // Wine's own bookkeeping.
    for (const char* noise : {"HKCU\\Software\\Wine", "HKLM\\SOFTWARE\\Wine", "value HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer"})
        if (StartsWith(line.substr(line.find(' ') + 1), noise) || StartsWith(line, noise))
            return true;
    // Wine's spooler makes an environment's empty driver key and folder the
    // first time anyone names that environment, as the driver deletion does
    // for all three; Windows has them from the start. Nothing inside them.
    const std::string environments = "key HKLM\\SYSTEM\\CurrentControlSet\\Control\\Print\\Environments\\";
    if (RunningOnWine() && StartsWith(line, environments)) {
        const std::string rest = line.substr(line.find('\\', environments.size()) + 1);
        return rest == "Drivers" || StartsWith(rest, "Drivers\\Version-");
    }
    if (RunningOnWine() && StartsWith(line, "dir C:\\windows\\system32\\spool\\drivers\\")
        && line.find('\\', std::string("dir C:\\windows\\system32\\spool\\drivers\\").size()) == std::string::npos)
        return true;
    return false;
}

bool HasKey(HKEY root, const std::string& key)
{
    HKEY opened = nullptr;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS)
        return false;
    RegCloseKey(opened);
    return true;
}

bool HasValue(HKEY root, const std::string& key, const char* name)
{
    HKEY opened = nullptr;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS)
        return false;
    const bool found = RegQueryValueExA(opened, name, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
    RegCloseKey(opened);
    return found;
}

bool FileExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool SpoolerRunning()
{
    SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT);
    if (!manager)
        return false;
    SERVICE_STATUS status = {};
    bool running = false;
    if (SC_HANDLE spooler = OpenServiceA(manager, "Spooler", SERVICE_QUERY_STATUS)) {
        running = QueryServiceStatus(spooler, &status) && status.dwCurrentState == SERVICE_RUNNING;
        CloseServiceHandle(spooler);
    }
    CloseServiceHandle(manager);
    return running;
}

bool PrinterExists(const char* name)
{
    HANDLE handle = nullptr;
    if (!OpenPrinterA(const_cast<char*>(name), &handle, nullptr))
        return false;
    ClosePrinter(handle);
    return true;
}


DWORD QueuedJobs(const char* name)
{
    HANDLE handle = nullptr;
    if (!OpenPrinterA(const_cast<char*>(name), &handle, nullptr))
        return 0;
    DWORD needed = 0, count = 0;
    EnumJobsA(handle, 0, 100, 1, nullptr, 0, &needed, &count);
    std::vector<BYTE> buffer(needed + 1);
    if (!EnumJobsA(handle, 0, 100, 1, buffer.data(), needed, &needed, &count))
        count = 0;
    ClosePrinter(handle);
    return count;
}

bool DriverInstalled(const char* driver)
{
    DWORD needed = 0, count = 0;
    EnumPrinterDriversA(nullptr, nullptr, 1, nullptr, 0, &needed, &count);
    std::vector<BYTE> buffer(needed + 1);
    if (!EnumPrinterDriversA(nullptr, nullptr, 1, buffer.data(), needed, &needed, &count))
        return false;
    for (DWORD i = 0; i < count; ++i)
        if (std::string(reinterpret_cast<DRIVER_INFO_1A*>(buffer.data())[i].pName) == driver)
            return true;
    return false;
}

// Checks the difference against the plan and writes it, with the reason of
// each line, to a file the demo prints.
void CheckDifference(const SnapshotDifference& difference, const Explanation& explanation, const std::string& report)
{
    std::string text;
    for (const std::string& line : difference.removed) {
        const std::string reason = explanation.Reason(line);
        EXPECT_FALSE(reason.empty()) << "removed without a plan line: " << line;
        text += "- " + line + (reason.empty() ? "   <-- NOT IN THE PLAN" : "   (" + reason + ")") + "\n";
    }
    for (const std::string& line : difference.added) {
        const bool expected =
            ExpectedAddition(line, explanation.goingPrinters) || explanation.NewDefaultChange(line);
        EXPECT_TRUE(expected) << "added: " << line;
        text += "+ " + line + (expected ? "" : "   <-- UNEXPECTED") + "\n";
    }
    WriteFile(report, text);
}

// After a full removal the prefix differs from before by exactly the
// plan's items, the printers that went and their traces.
void PopulatedPrefix::CheckFullRemoval(const PrefixSnapshot& before, const std::vector<std::string>& trace,
                                       const std::string& report)
{
    CloseQueue();
    const PrefixSnapshot after = Snapshot();
    const std::vector<std::string> plan = UnzplanPlan(trace);
    EXPECT_NE(plan.end(), std::find(plan.begin(), plan.end(), "counter.going\t3"));

    Explanation explanation{plan,     {"Vivaro Office", "Vivaro Lab", "Vivaro Office (masked)"},
                            package_, programs_, kUniqueId, "Foreign Printer", {kMaskDriver}};
    CheckDifference(Compare(before, after), explanation, report);

    // Everything the plan names is gone.
    for (const char* printer : {"Vivaro Office", "Vivaro Lab", "Vivaro Office (masked)"})
        EXPECT_FALSE(PrinterExists(printer)) << printer;
    EXPECT_FALSE(DriverInstalled(kDriver));
    EXPECT_FALSE(DriverInstalled(kMaskDriver)) << "it went with its printer";
    for (const std::string& path : {drivers_ + "Xunz___Z.unm", drivers_ + "ZV5320.DLL", drivers_ + "3\\ZV5320UI.DLL",
                                    system_ + "ZCOMMON.DLL", package_ + "ZSTAT.EXE", package_ + "sub\\ZVHELP.HLP",
                                    programs_ + "ARVEL NORVANE\\Vivaro Status.lnk", programs_ + "ARVEL NORVANE",
                                    package_ + "sub"})
        EXPECT_FALSE(FileExists(path)) << path;
    EXPECT_FALSE(HasKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\ARVEL NORVANE"));
    EXPECT_FALSE(HasKey(HKEY_LOCAL_MACHINE, kMonitorKey));
    EXPECT_FALSE(HasKey(HKEY_LOCAL_MACHINE, kPrintProcessorKey));
    EXPECT_FALSE(HasKey(HKEY_LOCAL_MACHINE, std::string("SYSTEM\\CurrentControlSet\\Services\\") + kService));
    EXPECT_FALSE(HasKey(HKEY_CLASSES_ROOT, kUniqueId));
    EXPECT_FALSE(HasValue(HKEY_LOCAL_MACHINE, kRunKey, "VivaroStatus"));
    EXPECT_FALSE(HasValue(HKEY_CURRENT_USER, "Software\\ARVEL NORVANE\\Settings", "LastPort"));
    const std::string winIni = ReadFile(windows_ + "win.ini");
    EXPECT_EQ(std::string::npos, winIni.find("Installed=1"));
    EXPECT_NE(std::string::npos, winIni.find("[Vivaro]\r\nKeep=1\r\n"));

    // The file in use waits for the next start.
    EXPECT_TRUE(FileExists(system_ + "ZLOCKED.DLL"));
    HKEY session = nullptr;
    std::string pending;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Control\\Session Manager", 0, KEY_READ,
                      &session) == ERROR_SUCCESS) {
        char data[4096] = {};
        DWORD size = sizeof data - 2;
        if (RegQueryValueExA(session, "PendingFileRenameOperations", nullptr, nullptr, reinterpret_cast<BYTE*>(data),
                             &size) == ERROR_SUCCESS)
            pending.assign(data, size);
        RegCloseKey(session);
    }
    EXPECT_TRUE(Contains(pending, "ZLOCKED.DLL")) << "scheduled for the next start";

    // Everything else stays: the other vendor's printer, driver, files and
    // keys, the package's files the plan does not name.
    EXPECT_TRUE(PrinterExists("Foreign Printer"));
    EXPECT_TRUE(DriverInstalled(kForeignDriver));
    for (const std::string& path : {system_ + "FOREIGN.DLL", drivers_ + "FOREIGN.DLL", drivers_ + "3\\FOREIGN.HLP",
                                    package_ + "README.TXT", system_ + "ZRESTART.EXE"})
        EXPECT_TRUE(FileExists(path)) << path;
    EXPECT_TRUE(HasKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\Foreign Vendor\\Laser"));
    EXPECT_TRUE(HasValue(HKEY_LOCAL_MACHINE, kRunKey, "ForeignTool"));
    EXPECT_TRUE(HasValue(HKEY_CURRENT_USER, "Software\\ARVEL NORVANE\\Settings", "Language"));

    // The default went with "Vivaro Office": the last printer that stays in
    // list order, the other vendor's, replaces it and is named.
    const std::vector<std::string> defaultMessages = DefaultPrinterMessages();
    ASSERT_EQ(1u, defaultMessages.size());
    EXPECT_NE(std::string::npos, defaultMessages[0].find("'Foreign Printer'")) << defaultMessages[0];
    char defaultPrinter[260] = "";
    DWORD size = sizeof defaultPrinter;
    GetDefaultPrinterA(defaultPrinter, &size);
    EXPECT_STREQ("Foreign Printer", defaultPrinter);
    EXPECT_TRUE(SpoolerRunning());
}

// Enter and Esc on the main window cannot cut the phases short.
TEST_F(PopulatedPrefix, AFullRemovalTakesExactlyThePlansItems)
{
    ASSERT_FALSE(HasFatalFailure());
    // Wine keeps the jobs but does not list them, so that the cancelling of
    // pending jobs is shown by the native tests there.
    const DWORD jobs = QueuedJobs("Vivaro Lab");
    EXPECT_TRUE(jobs == 2 || RunningOnWine()) << "the queue waits with two jobs, it lists " << jobs;
    const PrefixSnapshot before = Snapshot();
    RunOptions keys;
    keys.keysDuringPhases = true;
    const std::vector<std::string> trace =
        RunUninstall({"Vivaro Office", "Vivaro Lab", "Vivaro Office (masked)"}, "uninstaller_removal_full", keys);
    EXPECT_GT(keysSent_, 0) << "the keys reached the phases";
    CheckFullRemoval(before, trace, "uninstaller_removal_full_difference.txt");
}

// Ended abruptly while it removes (in phase 3, with the printers gone and
// their drivers not yet), the removal is finished by running it again:
// what the first run was about to remove goes, nothing else.
TEST_F(PopulatedPrefix, AKilledRemovalIsFinishedByTheNextRun)
{
    ASSERT_FALSE(HasFatalFailure());
    const PrefixSnapshot before = Snapshot();
    RunOptions kill;
    kill.killAtFirstMessage = true;
    const std::vector<std::string> trace =
        RunUninstall({"Vivaro Office", "Vivaro Lab", "Vivaro Office (masked)"}, "uninstaller_removal_killed", kill);
    ASSERT_EQ(1u, boxes_.size());
    CloseQueue();
    EXPECT_FALSE(PrinterExists("Vivaro Lab")) << "killed after the printers went";
    EXPECT_TRUE(DriverInstalled(kMaskDriver)) << "killed before the drivers went";

    RunOptions rest;
    rest.offered = {};
    RunUninstall({}, "uninstaller_removal_rerun", rest);
    CheckFullRemoval(before, trace, "uninstaller_removal_rerun_difference.txt");
}

// The details dialog, opened first with every printer selected, builds the
// plan for all of them; the removal that follows keeps a printer, and with
// it its driver and the package's scaffolding.
TEST_F(PopulatedPrefix, WithOnePrinterKeptOnlyThePickedPrinterGoes)
{
    ASSERT_FALSE(HasFatalFailure());
    const PrefixSnapshot before = Snapshot();
    RunOptions details;
    details.detailsWithEverythingSelected = true;
    const std::vector<std::string> trace = RunUninstall({"Vivaro Lab"}, "uninstaller_removal_partial", details);
    CloseQueue();
    const PrefixSnapshot after = Snapshot();
    const std::vector<std::string> plan = UnzplanPlan(trace);
    EXPECT_NE(plan.end(), std::find(plan.begin(), plan.end(), "counter.staying\t2"));

    Explanation explanation{plan, {"Vivaro Lab"}, package_, programs_, "", "", {}};
    CheckDifference(Compare(before, after), explanation, "uninstaller_removal_partial_difference.txt");

    EXPECT_FALSE(PrinterExists("Vivaro Lab"));
    for (const char* printer : {"Vivaro Office", "Vivaro Office (masked)", "Foreign Printer"})
        EXPECT_TRUE(PrinterExists(printer)) << printer;
    EXPECT_TRUE(DriverInstalled(kDriver)) << "still used by the printers that stay";
    EXPECT_TRUE(DriverInstalled(kMaskDriver));
    EXPECT_TRUE(HasKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\ARVEL NORVANE\\XSR32__Z")) << "the maker's keys stay";
    for (const std::string& path : InstalledFiles())
        EXPECT_TRUE(FileExists(path)) << path;
    EXPECT_TRUE(HasKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\ARVEL NORVANE\\OEM_Z\\OEMPaths"));
    EXPECT_TRUE(HasKey(HKEY_CLASSES_ROOT, kUniqueId));
    EXPECT_TRUE(HasValue(HKEY_LOCAL_MACHINE, kRunKey, "VivaroStatus"));
    EXPECT_TRUE(DefaultPrinterMessages().empty()) << "the default printer stays";
}

}  // namespace
