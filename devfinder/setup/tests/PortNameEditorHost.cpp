// Runs the Port Name Editor on its own, for the live-window tests: both
// names start as "prn-lab", port "IP_lab" and queue "Lab" are in use. Exits
// with the dialog's result and writes the names taken back to the file
// named on the command line.
#include <windows.h>

#include <cstdio>

#include "PortNameEditorDialog.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int)
{
    const NamesInUse inUse{{"IP_lab"}, {"Lab"}};
    std::string portName = "prn-lab";
    std::string printerName = "prn-lab";
    DialogPortNameEditor editor(nullptr, instance);
    const bool accepted = editor.Edit(portName, printerName, inUse);
    if (accepted && commandLine && *commandLine) {
        if (FILE* result = std::fopen(commandLine, "w")) {
            std::fprintf(result, "%s\n%s\n", portName.c_str(), printerName.c_str());
            std::fclose(result);
        }
    }
    return accepted ? IDOK : IDCANCEL;
}
