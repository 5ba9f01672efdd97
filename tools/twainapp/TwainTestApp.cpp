// twainapp: a small TWAIN application for trying the data source by hand
// and for the demo. It opens the first source that the data source manager
// offers, enables it (with the source's own window unless --no-ui is
// given), passes its window messages on, and on MSG_XFERREADY asks for a
// native transfer, saving the image as a .bmp file.
//   twainapp [--no-ui] [--out FILE.bmp]
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "twain.h"

namespace {

constexpr char kTitle[] = "TWAIN test application";

struct Session {
    HWND window = nullptr;
    HWND statusText = nullptr;
    HMODULE manager = nullptr;
    DSMENTRYPROC dsmEntry = nullptr;
    TW_IDENTITY application{};
    TW_IDENTITY source{};
    bool managerOpen = false;
    bool sourceOpen = false;
    bool sourceEnabled = false;
    bool showUi = true;
    std::string outputPath = "scan.bmp";
    std::string log;
};

Session session;

void Report(const std::string& line)
{
    session.log += line + "\r\n";
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
    if (session.statusText)
        SetWindowTextA(session.statusText, session.log.c_str());
}

TW_UINT16 ToManager(pTW_IDENTITY destination, TW_UINT32 group, TW_UINT16 data, TW_UINT16 message, TW_MEMREF pData)
{
    return session.dsmEntry(&session.application, destination, group, data, message, pData);
}

std::string ConditionText()
{
    TW_STATUS status{};
    ToManager(session.sourceOpen ? &session.source : nullptr, DG_CONTROL, DAT_STATUS, MSG_GET, &status);
    return "condition code " + std::to_string(status.ConditionCode);
}

void CloseEverything()
{
    if (session.sourceEnabled) {
        TW_USERINTERFACE ui{};
        ui.hParent = session.window;
        ToManager(&session.source, DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS, &ui);
        session.sourceEnabled = false;
    }
    if (session.sourceOpen) {
        ToManager(nullptr, DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, &session.source);
        session.sourceOpen = false;
    }
    if (session.managerOpen) {
        ToManager(nullptr, DG_CONTROL, DAT_PARENT, MSG_CLOSEDSM, &session.window);
        session.managerOpen = false;
    }
}

bool SaveDib(HGLOBAL dib, const std::string& path)
{
    const auto* header = static_cast<const BITMAPINFOHEADER*>(GlobalLock(dib));
    if (!header)
        return false;
    const SIZE_T size = GlobalSize(dib);
    DWORD colours = header->biClrUsed;
    if (colours == 0 && header->biBitCount <= 8)
        colours = 1u << header->biBitCount;
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfSize = static_cast<DWORD>(sizeof(file) + size);
    file.bfOffBits = static_cast<DWORD>(sizeof(file) + header->biSize + colours * sizeof(RGBQUAD));
    bool saved = false;
    if (FILE* out = std::fopen(path.c_str(), "wb")) {
        saved = std::fwrite(&file, sizeof(file), 1, out) == 1 && std::fwrite(header, size, 1, out) == 1;
        saved = std::fclose(out) == 0 && saved;
    }
    GlobalUnlock(dib);
    return saved;
}

void TransferImages()
{
    for (;;) {
        TW_MEMREF handle = nullptr;
        const TW_UINT16 rc = ToManager(&session.source, DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET, &handle);
        if (rc == TWRC_XFERDONE && handle) {
            HGLOBAL dib = static_cast<HGLOBAL>(handle);
            Report(SaveDib(dib, session.outputPath) ? "image saved as " + session.outputPath
                                                    : "could not save " + session.outputPath);
            GlobalFree(dib);
        } else {
            Report("native transfer ended with return code " + std::to_string(rc) + ", " + ConditionText());
        }
        TW_PENDINGXFERS pending{};
        if (ToManager(&session.source, DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, &pending) != TWRC_SUCCESS ||
            pending.Count == 0 || rc != TWRC_XFERDONE)
            break;
    }
    if (!session.showUi) {
        CloseEverything();
        PostQuitMessage(0);
    }
}

void OpenSource()
{
    session.application.Id = 0;
    session.application.Version.MajorNum = 1;
    session.application.Version.Language = 13;  // English
    session.application.Version.Country = 1;    // USA
    std::strcpy(session.application.Version.Info, "1.0");
    session.application.ProtocolMajor = 1;
    session.application.ProtocolMinor = 9;
    session.application.SupportedGroups = DG_CONTROL | DG_IMAGE;
    std::strcpy(session.application.Manufacturer, "Vivaro tools");
    std::strcpy(session.application.ProductFamily, "Tests");
    std::strcpy(session.application.ProductName, kTitle);

    session.manager = LoadLibraryA("twain_32.dll");
    if (session.manager)
        session.dsmEntry = reinterpret_cast<DSMENTRYPROC>(
            reinterpret_cast<void*>(GetProcAddress(session.manager, "DSM_Entry")));
    if (!session.dsmEntry) {
        Report("no TWAIN data source manager (twain_32.dll) found");
        return;
    }
    if (ToManager(nullptr, DG_CONTROL, DAT_PARENT, MSG_OPENDSM, &session.window) != TWRC_SUCCESS) {
        Report("the data source manager did not open");
        return;
    }
    session.managerOpen = true;
    if (ToManager(nullptr, DG_CONTROL, DAT_IDENTITY, MSG_GETFIRST, &session.source) != TWRC_SUCCESS) {
        Report("no data source installed");
        return;
    }
    if (ToManager(nullptr, DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, &session.source) != TWRC_SUCCESS) {
        Report("the data source did not open: " + ConditionText());
        return;
    }
    session.sourceOpen = true;
    Report(std::string("opened ") + session.source.ProductName + " (" + session.source.Manufacturer + ", " +
           session.source.Version.Info + ")");

    TW_USERINTERFACE ui{};
    ui.ShowUI = session.showUi ? 1 : 0;
    ui.ModalUI = 0;
    ui.hParent = session.window;
    if (ToManager(&session.source, DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS, &ui) != TWRC_SUCCESS) {
        Report("the data source could not be enabled: " + ConditionText());
        return;
    }
    session.sourceEnabled = true;
    Report(session.showUi ? "source enabled with its own window" : "source enabled without a window");
}

// Hands a message to the source; true when the source took it.
bool PassToSource(MSG& message)
{
    if (!session.sourceEnabled)
        return false;
    TW_EVENT event{&message, MSG_NULL};
    if (ToManager(&session.source, DG_CONTROL, DAT_EVENT, MSG_PROCESSEVENT, &event) != TWRC_DSEVENT)
        return false;
    switch (event.TWMessage) {
    case MSG_XFERREADY:
        Report("the source has an image ready");
        TransferImages();
        break;
    case MSG_CLOSEDSREQ:
        Report("the source asks to be closed");
        CloseEverything();
        PostQuitMessage(0);
        break;
    }
    return true;
}

LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SIZE:
        if (session.statusText)
            MoveWindow(session.statusText, 8, 8, LOWORD(lParam) - 16, HIWORD(lParam) - 16, TRUE);
        return 0;
    case WM_CLOSE:
        CloseEverything();
        DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show)
{
    for (int i = 1; i < __argc; ++i) {
        if (std::strcmp(__argv[i], "--no-ui") == 0)
            session.showUi = false;
        else if (std::strcmp(__argv[i], "--out") == 0 && i + 1 < __argc)
            session.outputPath = __argv[++i];
    }
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = WindowProcedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = "VivaroTwainTestApp";
    RegisterClassA(&windowClass);
    session.window = CreateWindowA(windowClass.lpszClassName, kTitle, WS_OVERLAPPEDWINDOW, 20, 20, 520, 260,
                                   nullptr, nullptr, instance, nullptr);
    session.statusText = CreateWindowA("STATIC", "", WS_CHILD | WS_VISIBLE, 8, 8, 490, 200, session.window,
                                       nullptr, instance, nullptr);
    SendMessageA(session.statusText, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), 0);
    ShowWindow(session.window, show);
    OpenSource();

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (PassToSource(message))
            continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    CloseEverything();
    return 0;
}
