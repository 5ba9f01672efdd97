#pragma once
// Removal phase 1: when the plan deletes the masking tool, start it with
// " /d" so that it takes its masked printers away itself, and wait for it
// to end. The phase repeats while the tool runs. When only the removal of
// the last printer takes the tool, the same run waits for phase 4, after
// the printers, so that it never runs while a printer stays.

#include "RemovalSteps.h"

#include <cstdint>
#include <string>
#include <vector>

class MaskingToolPlatform {
public:
    using Process = std::uintptr_t;  // 0: none

    virtual ~MaskingToolPlatform() = default;
    // The directories listed as value data under HKEY_LOCAL_MACHINE
    // "SOFTWARE\ARVEL NORVANE\OEM\OEMPaths", in enumeration order.
    virtual std::vector<std::string> OemPathDirectories() = 0;
    virtual bool FileExists(const std::string& path) = 0;
    // Starts path with the command-line text; 0 when it could not start.
    virtual Process StartProcess(const std::string& path, const std::string& commandLine) = 0;
    // The process's exit code still reads STILL_ACTIVE (259).
    virtual bool ProcessStillActive(Process process) = 0;
    // A dialog window (class "#32770") titled "Veneer" exists.
    virtual bool MaskingToolDialogExists() = 0;
    virtual void ReleaseProcess(Process process) = 0;
};

class MaskingToolStep {
public:
    static constexpr const char* kCommandLine = " /d";

    MaskingToolStep(MaskingToolPlatform& platform, int platformClass) : platform_(platform), platformClass_(platformClass) {}
    ~MaskingToolStep();
    MaskingToolStep(const MaskingToolStep&) = delete;
    MaskingToolStep& operator=(const MaskingToolStep&) = delete;

    // One tick of the tool's phase. planDeletesTool: the masking tool is not
    // kept.
    MaskingToolState Run(bool planDeletesTool);

    // "VENEER32.EXE", then "VENEER.EXE", in each OEM path directory: the
    // first existing file; empty when none.
    std::string FindTool();

private:
    bool StillRunning();
    void Forget();

    MaskingToolPlatform& platform_;
    int platformClass_;
    bool known_ = false;  // a tool run is being waited for
    MaskingToolPlatform::Process process_ = 0;
};
