// Stands in for the printer-masking tool in the uninstaller's live tests:
// appends its command line to the file named by VIVARO_VENEER_LOG, stays
// two seconds so that the uninstaller has something to wait for, and
// appends "ended".
#include <windows.h>

#include <cstdio>

namespace {

void Append(const char* line)
{
    char path[MAX_PATH] = "";
    if (!GetEnvironmentVariableA("VIVARO_VENEER_LOG", path, sizeof path))
        return;
    if (FILE* log = std::fopen(path, "a")) {
        std::fprintf(log, "%s\n", line);
        std::fclose(log);
    }
}

}  // namespace

int main()
{
    Append(GetCommandLineA());
    Sleep(2000);
    Append("ended");
    return 0;
}
