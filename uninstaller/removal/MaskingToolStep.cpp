#include "MaskingToolStep.h"

MaskingToolStep::~MaskingToolStep() { Forget(); }

std::string MaskingToolStep::FindTool()
{
    const std::vector<std::string> directories = platform_.OemPathDirectories();
    for (const char* executable : {"VENEER32.EXE", "VENEER.EXE"}) {
        for (std::string directory : directories) {
            if (directory.empty())
                continue;
            if (directory.back() != '\\')
                directory += '\\';
            const std::string path = directory + executable;
            if (platform_.FileExists(path))
                return path;
        }
    }
    return {};
}

bool MaskingToolStep::StillRunning()
{
    // The oldest platform cannot read a process's exit code; the tool's
    // dialog tells instead.
    if (platformClass_ == 1)
        return platform_.MaskingToolDialogExists();
    return process_ != 0 && platform_.ProcessStillActive(process_);
}

void MaskingToolStep::Forget()
{
    if (process_ != 0)
        platform_.ReleaseProcess(process_);
    process_ = 0;
    known_ = false;
}

MaskingToolState MaskingToolStep::Run(bool planDeletesTool)
{
    if (known_) {
        if (StillRunning())
            return MaskingToolState::Running;
        Forget();
        return MaskingToolState::Finished;
    }
    if (!planDeletesTool)
        return MaskingToolState::Finished;
    const std::string tool = FindTool();
    if (tool.empty())
        return MaskingToolState::Finished;
    process_ = platform_.StartProcess(tool, kCommandLine);
    // On the oldest platform a start that reports failure may still have
    // shown the tool: wait for its dialog as if it ran.
    if (process_ == 0 && platformClass_ != 1)
        return MaskingToolState::Finished;
    known_ = true;
    return MaskingToolState::Running;
}
