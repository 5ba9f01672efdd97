#pragma once
// Looking at a live program from a test: start it, wait for its window,
// read the window's controls, take a picture of it, close it.
// Works the same on Windows and under Wine.
#include <windows.h>

#include <string>
#include <vector>

namespace wintest {

struct ControlInfo {
    int id = 0;
    std::string className;
    std::string text;
    bool visible = false;
    bool enabled = false;
    RECT rect = {};  // in the parent window's client coordinates
};

class RunningProgram {
public:
    RunningProgram() = default;
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;
    RunningProgram(RunningProgram&& other) noexcept;
    RunningProgram& operator=(RunningProgram&& other) noexcept;
    ~RunningProgram();  // ends the program if it is still running

    // Starts commandLine (program path first, quoted if it has spaces).
    bool Start(const std::string& commandLine, const std::string& workingDirectory = {});
    DWORD ProcessId() const { return processId_; }
    HANDLE Process() const { return process_; }
    // Waits for the program to end; false on time-out.
    bool WaitForExit(DWORD timeoutMs, DWORD* exitCode = nullptr);
    void Terminate();

private:
    HANDLE process_ = nullptr;
    DWORD processId_ = 0;
};

// Waits until a visible top-level window with exactly this title exists,
// owned by processId when that is not 0. Returns null on time-out.
HWND WaitForTopWindow(const std::string& title, DWORD processId, DWORD timeoutMs);

// Waits until window's text equals text; false on time-out.
bool WaitForWindowText(HWND window, const std::string& text, DWORD timeoutMs);

std::string WindowText(HWND window);
std::string WindowClass(HWND window);

// Direct children of window, in Z order.
std::vector<ControlInfo> ReadControls(HWND window);
// The first direct child with this id, or nullptr.
const ControlInfo* FindControl(const std::vector<ControlInfo>& controls, int id);

// Saves what the screen shows of window (a real screen grab, so the window
// should be on top) as a PNG file. Creates missing folders of path.
bool SaveWindowPng(HWND window, const std::string& path);

// Lets a window's own thread repaint after a change before a picture is taken.
void LetWindowsSettle(DWORD milliseconds = 300);

}  // namespace wintest
