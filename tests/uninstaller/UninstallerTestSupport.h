// Helpers the uninstaller's whole-program tests share: the prefix's
// folders, text files, test printers in the spooler, and finding and
// answering the running program's windows.
#pragma once

#include <windows.h>

#include <functional>
#include <span>
#include <string>
#include <vector>

namespace uninstaller_test {

inline constexpr char kTitle[] = "D\xE9sinstallation de l'imprimante";
inline constexpr char kLoadingTitle[] = "Chargement du programme de d\xE9sinstallation\x85";
inline constexpr char kMainWindowClass[] = "VXTUninstallWindowClass__";
inline constexpr int kPrinterListId = 1020;

// Folders, each with a trailing backslash.
std::string WithBackslash(std::string directory);
std::string PrinterDriverDirectory();  // empty when the spooler has none
std::string SystemDirectory();
std::string ProgramDirectory();  // the test's own

bool WriteFile(const std::string& path, const std::string& contents);
std::vector<std::string> ReadLines(const std::string& path);  // without their "\r"
std::string Lowercase(std::string text);

// Runs a console program with its output in a file, its errors in another
// or, without one, with the output; returns its exit status.
DWORD RunConsole(const std::string& commandLine, const std::string& outputPath, const std::string& errorPath = {});

// Polls every 50 ms; false when the time ran out first.
bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs);

// A printer as the package's installers leave it.
struct TestPrinter {
    const char* name;
    const char* driver;
    bool ours;                   // printer data "NorvaneDriver_Z"
    const char* maskedBaseName;  // printer data "VenPrinter", or nullptr
};

// The spooler records the driver without loading its files.
bool AddTestDriver(const char* driver);
// Leaves the printer open in *keepOpen when given, else closes it.
bool AddTestPrinter(const TestPrinter& printer, HANDLE* keepOpen = nullptr);
void DeleteTestPrinter(const char* name);
// Replaces the printers and their drivers; fails the test where one fails.
void AddTestPrinters(std::span<const TestPrinter> printers);
// The printers, then their drivers.
void DeleteTestPrinters(std::span<const TestPrinter> printers);

// The child control with this id anywhere below window.
HWND FindDescendant(HWND window, int id);
// A visible top-level window of the process with this class and title.
HWND FindTopWindow(DWORD processId, const char* className, const std::string& title);
HWND FindMainWindow(DWORD processId);
// The program's message boxes carry its title in the system dialog class.
// Answers the first with OK; false when there is none.
bool DismissMessageBox(DWORD processId);
// The text of a message box: its static control with the longest text.
std::string MessageBoxText(HWND box);

}  // namespace uninstaller_test
