// winshot: waits for a top-level window by title and saves a PNG of it.
//   winshot "Window title" out.png [timeout-seconds]
// Exit status 0 when saved, 1 when the window did not appear, 2 on bad use.
#include "LiveWindow.h"

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    if (argc < 3 || argc > 4) {
        std::fprintf(stderr, "usage: winshot \"Window title\" out.png [timeout-seconds]\n");
        return 2;
    }
    const DWORD timeoutMs = argc == 4 ? static_cast<DWORD>(std::atoi(argv[3])) * 1000 : 30000;
    HWND window = wintest::WaitForTopWindow(argv[1], 0, timeoutMs);
    if (!window) {
        std::fprintf(stderr, "winshot: no window titled \"%s\"\n", argv[1]);
        return 1;
    }
    SetForegroundWindow(window);
    wintest::LetWindowsSettle(700);
    if (!wintest::SaveWindowPng(window, argv[2])) {
        std::fprintf(stderr, "winshot: could not save %s\n", argv[2]);
        return 1;
    }
    for (const auto& control : wintest::ReadControls(window))
        std::printf("%d\t%s\t%s\t%s\t%s\n", control.id, control.className.c_str(), control.text.c_str(),
                    control.visible ? "visible" : "hidden", control.enabled ? "enabled" : "disabled");
    return 0;
}
