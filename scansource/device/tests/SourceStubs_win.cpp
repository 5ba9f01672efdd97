#include "SourceStubs_win.h"

#include "twain/DebugTrace.h"
#include "ui/MessageBoxes.h"

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
