#include "SourceStubs_win.h"

#include "twain/DebugTrace.h"
#include "shell/Localization.h"
#include "shell/MessageBoxes.h"

// Wide texts from the test program's own resources: the templates' texts
// stay as they are.
namespace {
const bool wideFormsOfThisProgram = [] {
    shellState().ansiMode = false;
    shellState().instance = GetModuleHandleA(nullptr);
    return true;
}();
}

int LoadLocalizedString(UINT stringId, void* buffer, int bufferBytes)
{
    int length = LoadStringW(shellState().instance, stringId, static_cast<wchar_t*>(buffer), bufferBytes / 2);
    return length > 0 ? length : -1;
}

void SetLocalizedWindowText(HWND window, const void* text)
{
    SetWindowTextW(window, static_cast<const wchar_t*>(text));
}

void LocalizeDialogControls(HWND)
{
}

std::vector<ShownWarning>& recordedWarnings()
{
    static std::vector<ShownWarning> warnings;
    return warnings;
}

std::vector<std::string>& recordedTraces()
{
    static std::vector<std::string> traces;
    return traces;
}

void DebugTrace(const char* text)
{
    recordedTraces().push_back(text);
}

int ShowWarning(HWND, UINT stringId, BOOL show)
{
    recordedWarnings().push_back({stringId, show != FALSE});
    return show ? IDOK : 0;
}

int ShowWarningFormatted(HWND, UINT stringId, int, BOOL show)
{
    recordedWarnings().push_back({stringId, show != FALSE});
    return show ? IDOK : 0;
}
