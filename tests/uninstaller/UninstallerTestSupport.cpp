#include "UninstallerTestSupport.h"

#include "LiveWindow.h"

#include <winspool.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>

namespace uninstaller_test {

std::string WithBackslash(std::string directory)
{
    if (!directory.empty() && directory.back() != '\\')
        directory += '\\';
    return directory;
}

std::string PrinterDriverDirectory()
{
    char directory[MAX_PATH] = "";
    DWORD needed = 0;
    if (!GetPrinterDriverDirectoryA(nullptr, nullptr, 1, reinterpret_cast<BYTE*>(directory), sizeof directory, &needed))
        return {};
    return WithBackslash(directory);
}

std::string SystemDirectory()
{
    char directory[MAX_PATH] = "";
    GetSystemDirectoryA(directory, sizeof directory);
    return WithBackslash(directory);
}

std::string ProgramDirectory()
{
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, sizeof path);
    std::string directory = path;
    return directory.substr(0, directory.find_last_of('\\') + 1);
}

bool WriteFile(const std::string& path, const std::string& contents)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << contents;
    return static_cast<bool>(file);
}

std::vector<std::string> ReadLines(const std::string& path)
{
    std::vector<std::string> lines;
    std::ifstream file(path, std::ios::binary);
    for (std::string line; std::getline(file, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

std::string Lowercase(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return static_cast<char>(tolower(c)); });
    return text;
}

DWORD RunConsole(const std::string& commandLine, const std::string& outputPath, const std::string& errorPath)
{
    SECURITY_ATTRIBUTES inheritable = {sizeof inheritable, nullptr, TRUE};
    HANDLE output = CreateFileA(outputPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inheritable, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    HANDLE error = errorPath.empty() ? output
                                     : CreateFileA(errorPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inheritable,
                                                   CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = output;
    startup.hStdError = error;
    PROCESS_INFORMATION info = {};
    std::string mutableLine = commandLine;
    DWORD status = 0xdeadbeef;
    if (CreateProcessA(nullptr, mutableLine.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, nullptr,
                       &startup, &info)) {
        if (WaitForSingleObject(info.hProcess, 30000) == WAIT_OBJECT_0)
            GetExitCodeProcess(info.hProcess, &status);
        else
            TerminateProcess(info.hProcess, 1);
        CloseHandle(info.hThread);
        CloseHandle(info.hProcess);
    }
    if (error != output)
        CloseHandle(error);
    CloseHandle(output);
    return status;
}

bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs)
{
    const DWORD deadline = GetTickCount() + timeoutMs;
    while (!condition()) {
        if (GetTickCount() > deadline)
            return false;
        Sleep(50);
    }
    return true;
}

bool AddTestDriver(const char* driver)
{
    std::string file = SystemDirectory() + "uninstaller-test-driver.dll";
    DRIVER_INFO_3A info = {};
    info.cVersion = 3;
    info.pName = const_cast<char*>(driver);
    info.pDriverPath = file.data();
    info.pDataFile = file.data();
    info.pConfigFile = file.data();
    return AddPrinterDriverA(nullptr, 3, reinterpret_cast<BYTE*>(&info)) != FALSE;
}

bool AddTestPrinter(const TestPrinter& printer, HANDLE* keepOpen)
{
    PRINTER_INFO_2A info = {};
    info.pPrinterName = const_cast<char*>(printer.name);
    info.pPortName = const_cast<char*>("FILE:");
    info.pDriverName = const_cast<char*>(printer.driver);
    info.pPrintProcessor = const_cast<char*>("winprint");
    info.pDatatype = const_cast<char*>("RAW");
    HANDLE handle = AddPrinterA(nullptr, 2, reinterpret_cast<BYTE*>(&info));
    if (!handle)
        return false;
    DWORD one = 1;
    bool ok = true;
    if (printer.ours)
        ok = SetPrinterDataA(handle, const_cast<char*>("NorvaneDriver_Z"), REG_DWORD, reinterpret_cast<BYTE*>(&one),
                             sizeof one) == ERROR_SUCCESS;
    if (printer.maskedBaseName)
        ok = ok && SetPrinterDataA(handle, const_cast<char*>("VenPrinter"), REG_SZ,
                                   reinterpret_cast<BYTE*>(const_cast<char*>(printer.maskedBaseName)),
                                   static_cast<DWORD>(strlen(printer.maskedBaseName) + 1)) == ERROR_SUCCESS;
    if (keepOpen)
        *keepOpen = handle;
    else
        ClosePrinter(handle);
    return ok;
}

void DeleteTestPrinter(const char* name)
{
    HANDLE handle = nullptr;
    PRINTER_DEFAULTSA all = {nullptr, nullptr, PRINTER_ALL_ACCESS};
    if (OpenPrinterA(const_cast<char*>(name), &handle, &all)) {
        DeletePrinter(handle);
        ClosePrinter(handle);
    }
}

void AddTestPrinters(std::span<const TestPrinter> printers)
{
    for (const TestPrinter& printer : printers) {
        DeleteTestPrinter(printer.name);
        ASSERT_TRUE(AddTestDriver(printer.driver)) << printer.driver << " error " << GetLastError();
        ASSERT_TRUE(AddTestPrinter(printer)) << printer.name << " error " << GetLastError();
    }
}

void DeleteTestPrinters(std::span<const TestPrinter> printers)
{
    for (const TestPrinter& printer : printers)
        DeleteTestPrinter(printer.name);
    for (const TestPrinter& printer : printers)
        DeletePrinterDriverA(nullptr, nullptr, const_cast<char*>(printer.driver));
}

HWND FindDescendant(HWND window, int id)
{
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (GetDlgCtrlID(child) == id)
            return child;
        if (HWND found = FindDescendant(child, id))
            return found;
    }
    return nullptr;
}

HWND FindTopWindow(DWORD processId, const char* className, const std::string& title)
{
    struct Search {
        DWORD processId;
        const char* className;
        const std::string* title;
        HWND found;
    } search = {processId, className, &title, nullptr};
    EnumWindows(
        [](HWND window, LPARAM parameter) -> BOOL {
            auto* s = reinterpret_cast<Search*>(parameter);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner == s->processId && IsWindowVisible(window) && wintest::WindowClass(window) == s->className &&
                wintest::WindowText(window) == *s->title) {
                s->found = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND FindMainWindow(DWORD processId) { return FindTopWindow(processId, kMainWindowClass, kTitle); }

bool DismissMessageBox(DWORD processId)
{
    HWND box = FindTopWindow(processId, "#32770", kTitle);
    if (!box)
        return false;
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    return true;
}

std::string MessageBoxText(HWND box)
{
    std::string text;
    for (const wintest::ControlInfo& control : wintest::ReadControls(box))
        if (control.className == "Static" && control.text.size() > text.size())
            text = control.text;
    return text;
}

}  // namespace uninstaller_test
