// twainapp: a small TWAIN application for trying the data source by hand,
// for the demo and for the transfer tests. It opens the first source that
// the data source manager offers, sets the capabilities it was given,
// enables the source (with the source's own window unless --no-ui is
// given), passes its window messages on, and on MSG_XFERREADY transfers
// images by the chosen mechanism while the source reports pending ones.
//   twainapp [--no-ui] [--transfer native|memory|file]
//            [--file-format bmp|tiff|tiff-multi|jpeg|png] [--out PATH]
//            [--pixel-type bw|gray|rgb] [--resolution DPI]
//            [--frame LEFT,TOP,RIGHT,BOTTOM (inches)] [--feeder] [--pages N]
//            [--manager PATH] [--soak SESSIONS]
// Native and memory transfers are saved as BMP files; a file transfer is
// written by the source itself. Pages after the first get "-2", "-3"...
// before the extension, except in a multi-page TIFF. The exit code is 0
// when every transfer succeeded. --manager loads another data source
// manager than twain_32.dll (TWAINDSM.dll); --soak runs the memory and
// handle soak of Soak.h instead of one scan.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "Soak.h"
#include "TwainApp.h"
#include "twain.h"

#ifndef TWFF_JFIF
#define TWFF_JFIF 4
#endif
#ifndef TWFF_TIFFMULTI
#define TWFF_TIFFMULTI 6
#endif
#ifndef TWFF_PNG
#define TWFF_PNG 7
#endif

namespace {
constexpr char kTitle[] = "TWAIN test application";
}

Session session;

void Report(const std::string& line)
{
    session.log += line + "\r\n";
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
    if (session.statusText)
        SetWindowTextA(session.statusText, session.log.c_str());
}

void Fail(const std::string& line)
{
    session.failed = true;
    Report(line);
}

TW_UINT16 ToManager(pTW_IDENTITY destination, TW_UINT32 group, TW_UINT16 data, TW_UINT16 message, TW_MEMREF pData)
{
    return session.dsmEntry(&session.application, destination, group, data, message, pData);
}

TW_UINT16 ToSource(TW_UINT32 group, TW_UINT16 data, TW_UINT16 message, TW_MEMREF pData)
{
    return ToManager(&session.source, group, data, message, pData);
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

TW_FIX32 ToFix32(double value)
{
    auto scaled = static_cast<TW_INT32>(value * 65536.0 + (value < 0 ? -0.5 : 0.5));
    return TW_FIX32{static_cast<TW_INT16>(scaled >> 16), static_cast<TW_UINT16>(scaled & 0xffff)};
}

// MSG_SET of a capability with a TW_ONEVALUE in global memory.
bool SetCapability(TW_UINT16 cap, TW_UINT16 itemType, TW_UINT32 item, const char* name)
{
    HGLOBAL container = GlobalAlloc(GHND, sizeof(TW_ONEVALUE));
    if (!container)
        return false;
    auto* value = static_cast<TW_ONEVALUE*>(GlobalLock(container));
    value->ItemType = itemType;
    value->Item = item;
    GlobalUnlock(container);
    TW_CAPABILITY capability{cap, TWON_ONEVALUE, container};
    const TW_UINT16 rc = ToSource(DG_CONTROL, DAT_CAPABILITY, MSG_SET, &capability);
    GlobalFree(container);
    if (rc != TWRC_SUCCESS) {
        Fail(std::string("could not set ") + name + ": " + ConditionText());
        return false;
    }
    return true;
}

namespace {

bool Negotiate()
{
    const Options& o = session.options;
    const TW_UINT16 mechanism = o.mechanism == Mechanism::Native ? TWSX_NATIVE
                                : o.mechanism == Mechanism::Memory ? TWSX_MEMORY
                                                                   : TWSX_FILE;
    bool ok = SetCapability(ICAP_XFERMECH, TWTY_UINT16, mechanism, "the transfer mechanism");
    if (o.pixelType >= 0)
        ok = SetCapability(ICAP_PIXELTYPE, TWTY_UINT16, static_cast<TW_UINT32>(o.pixelType), "the pixel type") && ok;
    if (o.resolution > 0) {
        TW_FIX32 fix = ToFix32(o.resolution);
        TW_UINT32 item = 0;
        std::memcpy(&item, &fix, sizeof fix);
        ok = SetCapability(ICAP_XRESOLUTION, TWTY_FIX32, item, "the resolution") && ok;
    }
    if (o.feeder)
        ok = SetCapability(CAP_FEEDERENABLED, TWTY_BOOL, 1, "the feeder") && ok;
    if (o.frameGiven) {
        TW_IMAGELAYOUT layout{};
        layout.Frame = TW_FRAME{ToFix32(o.frame[0]), ToFix32(o.frame[1]), ToFix32(o.frame[2]), ToFix32(o.frame[3])};
        if (ToSource(DG_IMAGE, DAT_IMAGELAYOUT, MSG_SET, &layout) != TWRC_SUCCESS) {
            Fail("could not set the frame: " + ConditionText());
            ok = false;
        }
    }
    return ok;
}

// The output name of a page: PATH for the first, PATH with "-n" before the
// extension for page n; a multi-page TIFF keeps one name.
std::string PagePath(int page)
{
    const std::string& path = session.options.outputPath;
    if (page == 1 || session.options.fileFormat == TWFF_TIFFMULTI)
        return path;
    const size_t slash = path.find_last_of("\\/");
    size_t dot = path.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        dot = path.size();
    return path.substr(0, dot) + "-" + std::to_string(page) + path.substr(dot);
}

bool WriteFileBytes(const std::string& path, const std::vector<const void*>& parts, const std::vector<size_t>& sizes)
{
    FILE* out = std::fopen(path.c_str(), "wb");
    if (!out)
        return false;
    bool ok = true;
    for (size_t i = 0; i < parts.size(); ++i)
        ok = ok && std::fwrite(parts[i], 1, sizes[i], out) == sizes[i];
    return std::fclose(out) == 0 && ok;
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
    const bool saved = WriteFileBytes(path, {&file, header}, {sizeof file, size});
    GlobalUnlock(dib);
    return saved;
}

// Rows as a memory transfer delivers them: top row first, colour in RGB
// order, line art with 1 for white.
struct ReceivedImage {
    TW_UINT32 columns = 0;
    TW_UINT32 bytesPerRow = 0;
    int bitsPerPixel = 0;
    std::vector<uint8_t> rows;
};

bool SaveReceivedImage(const ReceivedImage& image, const std::string& path)
{
    const int bits = image.bitsPerPixel;
    const TW_UINT32 height = image.bytesPerRow ? static_cast<TW_UINT32>(image.rows.size() / image.bytesPerRow) : 0;
    const TW_UINT32 stride = (image.columns * bits + 31) / 32 * 4;
    if (height == 0 || (bits != 1 && bits != 8 && bits != 24) || image.bytesPerRow < (image.columns * bits + 7) / 8)
        return false;
    std::vector<RGBQUAD> palette;
    if (bits == 1)
        palette = {RGBQUAD{0, 0, 0, 0}, RGBQUAD{255, 255, 255, 0}};
    else if (bits == 8)
        for (int i = 0; i < 256; ++i)
            palette.push_back(RGBQUAD{BYTE(i), BYTE(i), BYTE(i), 0});
    std::vector<uint8_t> pixels(size_t(stride) * height);
    const size_t used = (size_t(image.columns) * bits + 7) / 8;
    for (TW_UINT32 row = 0; row < height; ++row) {
        const uint8_t* from = &image.rows[size_t(row) * image.bytesPerRow];
        uint8_t* to = &pixels[size_t(height - 1 - row) * stride];  // BMP rows go bottom-up
        std::memcpy(to, from, used);
        if (bits == 24)
            for (size_t x = 0; x + 2 < used; x += 3)
                std::swap(to[x], to[x + 2]);
    }
    BITMAPINFOHEADER info{};
    info.biSize = sizeof info;
    info.biWidth = static_cast<LONG>(image.columns);
    info.biHeight = static_cast<LONG>(height);
    info.biPlanes = 1;
    info.biBitCount = static_cast<WORD>(bits);
    info.biSizeImage = static_cast<DWORD>(pixels.size());
    info.biClrUsed = static_cast<DWORD>(palette.size());
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = static_cast<DWORD>(sizeof file + sizeof info + palette.size() * sizeof(RGBQUAD));
    file.bfSize = static_cast<DWORD>(file.bfOffBits + pixels.size());
    return WriteFileBytes(path, {&file, &info, palette.data(), pixels.data()},
                          {sizeof file, sizeof info, palette.size() * sizeof(RGBQUAD), pixels.size()});
}

TW_UINT16 NativeTransfer(int page)
{
    TW_MEMREF handle = nullptr;
    const TW_UINT16 rc = ToSource(DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET, &handle);
    if (rc == TWRC_XFERDONE && handle) {
        HGLOBAL dib = static_cast<HGLOBAL>(handle);
        const std::string path = PagePath(page);
        if (SaveDib(dib, path))
            Report("image saved as " + path);
        else
            Fail("could not save " + path);
        GlobalFree(dib);
    } else {
        Fail("native transfer ended with return code " + std::to_string(rc) + ", " + ConditionText());
    }
    return rc;
}

// Strips of the preferred size, in a buffer handed over as a handle every
// other call and as a pointer otherwise, as applications do both.
TW_UINT16 MemoryTransfer(int page)
{
    TW_IMAGEINFO info{};
    if (ToSource(DG_IMAGE, DAT_IMAGEINFO, MSG_GET, &info) != TWRC_SUCCESS) {
        Fail("no image information: " + ConditionText());
        return TWRC_FAILURE;
    }
    TW_SETUPMEMXFER setup{};
    if (ToSource(DG_CONTROL, DAT_SETUPMEMXFER, MSG_GET, &setup) != TWRC_SUCCESS || setup.Preferred == 0) {
        Fail("no memory transfer sizes: " + ConditionText());
        return TWRC_FAILURE;
    }
    HGLOBAL buffer = GlobalAlloc(GHND, setup.Preferred);
    if (!buffer) {
        Fail("no memory for the transfer buffer");
        return TWRC_FAILURE;
    }
    ReceivedImage image;
    image.bitsPerPixel = info.BitsPerPixel;
    TW_UINT16 rc = TWRC_SUCCESS;
    int strips = 0;
    for (; rc == TWRC_SUCCESS; ++strips) {
        TW_IMAGEMEMXFER xfer{};
        const bool asHandle = strips % 2 == 0;
        void* locked = asHandle ? nullptr : GlobalLock(buffer);
        xfer.Memory.Flags = TWMF_APPOWNS | (asHandle ? TWMF_HANDLE : TWMF_POINTER);
        xfer.Memory.Length = setup.Preferred;
        xfer.Memory.TheMem = asHandle ? static_cast<TW_MEMREF>(buffer) : locked;
        rc = ToSource(DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET, &xfer);
        if (!asHandle)
            GlobalUnlock(buffer);
        if (rc != TWRC_SUCCESS && rc != TWRC_XFERDONE)
            break;
        if (xfer.YOffset * static_cast<size_t>(xfer.BytesPerRow) != image.rows.size()) {
            Fail("strip " + std::to_string(strips) + " starts at row " + std::to_string(xfer.YOffset));
            rc = TWRC_FAILURE;
            break;
        }
        image.columns = xfer.Columns;
        image.bytesPerRow = xfer.BytesPerRow;
        const auto* bytes = static_cast<const uint8_t*>(GlobalLock(buffer));
        image.rows.insert(image.rows.end(), bytes, bytes + xfer.BytesWritten);
        GlobalUnlock(buffer);
    }
    GlobalFree(buffer);
    if (rc == TWRC_XFERDONE) {
        const std::string path = PagePath(page);
        if (SaveReceivedImage(image, path))
            Report("image of " + std::to_string(strips) + " strips saved as " + path);
        else
            Fail("could not save " + path);
    } else if (rc == TWRC_CANCEL) {
        Fail("memory transfer cancelled");
    } else {
        Fail("memory transfer ended with return code " + std::to_string(rc) + ", " + ConditionText());
    }
    return rc;
}

TW_UINT16 FileTransfer(int page)
{
    TW_SETUPFILEXFER setup{};
    const std::string path = PagePath(page);
    lstrcpynA(setup.FileName, path.c_str(), sizeof setup.FileName);
    setup.Format = session.options.fileFormat;
    if (ToSource(DG_CONTROL, DAT_SETUPFILEXFER, MSG_SET, &setup) != TWRC_SUCCESS) {
        Fail("the source refused the file " + path + ": " + ConditionText());
        return TWRC_FAILURE;
    }
    const TW_UINT16 rc = ToSource(DG_IMAGE, DAT_IMAGEFILEXFER, MSG_GET, nullptr);
    if (rc == TWRC_XFERDONE)
        Report("the source wrote " + path);
    else
        Fail("file transfer ended with return code " + std::to_string(rc) + ", " + ConditionText());
    return rc;
}

void TransferImages()
{
    if (session.options.fileFormat == TWFF_TIFFMULTI && session.options.mechanism == Mechanism::File)
        DeleteFileA(session.options.outputPath.c_str());  // the pages are appended to it
    for (int page = 1;; ++page) {
        TW_UINT16 rc = TWRC_FAILURE;
        switch (session.options.mechanism) {
        case Mechanism::Native: rc = NativeTransfer(page); break;
        case Mechanism::Memory: rc = MemoryTransfer(page); break;
        case Mechanism::File: rc = FileTransfer(page); break;
        }
        TW_PENDINGXFERS pending{};
        if (ToSource(DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, &pending) != TWRC_SUCCESS) {
            Fail("the source did not end the transfer: " + ConditionText());
            break;
        }
        Report("pending transfers: " + std::to_string(static_cast<TW_INT16>(pending.Count)));
        if (pending.Count == 0)
            break;
        if (rc != TWRC_XFERDONE || (session.options.pages > 0 && page >= session.options.pages)) {
            ToSource(DG_CONTROL, DAT_PENDINGXFERS, MSG_RESET, &pending);
            break;
        }
    }
    if (!session.options.showUi) {
        CloseEverything();
        PostQuitMessage(0);
    }
}

}  // namespace

bool OpenManager()
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

    const std::string& path = session.options.managerPath;
    session.manager = LoadLibraryA(path.c_str());
    if (session.manager)
        session.dsmEntry = reinterpret_cast<DSMENTRYPROC>(
            reinterpret_cast<void*>(GetProcAddress(session.manager, "DSM_Entry")));
    if (!session.dsmEntry) {
        Fail("no TWAIN data source manager (" + path + ") found");
        return false;
    }
    if (ToManager(nullptr, DG_CONTROL, DAT_PARENT, MSG_OPENDSM, &session.window) != TWRC_SUCCESS) {
        Fail("the data source manager did not open");
        return false;
    }
    session.managerOpen = true;
    return true;
}

namespace {

void OpenSource()
{
    if (!OpenManager())
        return;
    if (ToManager(nullptr, DG_CONTROL, DAT_IDENTITY, MSG_GETFIRST, &session.source) != TWRC_SUCCESS) {
        Fail("no data source installed");
        return;
    }
    if (ToManager(nullptr, DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, &session.source) != TWRC_SUCCESS) {
        Fail("the data source did not open: " + ConditionText());
        return;
    }
    session.sourceOpen = true;
    Report(std::string("opened ") + session.source.ProductName + " (" + session.source.Manufacturer + ", " +
           session.source.Version.Info + ")");
    if (!Negotiate())
        return;

    TW_USERINTERFACE ui{};
    ui.ShowUI = session.options.showUi ? 1 : 0;
    ui.ModalUI = 0;
    ui.hParent = session.window;
    if (ToSource(DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS, &ui) != TWRC_SUCCESS) {
        Fail("the data source could not be enabled: " + ConditionText());
        return;
    }
    session.sourceEnabled = true;
    Report(session.options.showUi ? "source enabled with its own window" : "source enabled without a window");
}

// Hands a message to the source; true when the source took it.
bool PassToSource(MSG& message)
{
    if (!session.sourceEnabled)
        return false;
    TW_EVENT event{&message, MSG_NULL};
    if (ToSource(DG_CONTROL, DAT_EVENT, MSG_PROCESSEVENT, &event) != TWRC_DSEVENT)
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

bool ParseFrame(const char* text, double (&frame)[4])
{
    return std::sscanf(text, "%lf,%lf,%lf,%lf", &frame[0], &frame[1], &frame[2], &frame[3]) == 4;
}

// False, after a message, for an option it does not know.
bool ParseOptions(Options& o)
{
    for (int i = 1; i < __argc; ++i) {
        const std::string option = __argv[i];
        const char* value = i + 1 < __argc ? __argv[i + 1] : nullptr;
        auto takes = [&](std::initializer_list<const char*> names) {
            for (const char* name : names)
                if (value && std::strcmp(value, name) == 0)
                    return ++i, true;
            return false;
        };
        if (option == "--no-ui") {
            o.showUi = false;
        } else if (option == "--feeder") {
            o.feeder = true;
        } else if (option == "--transfer" && takes({"native", "memory", "file"})) {
            o.mechanism = value[0] == 'n' ? Mechanism::Native : value[0] == 'm' ? Mechanism::Memory : Mechanism::File;
        } else if (option == "--file-format" && takes({"bmp", "tiff", "tiff-multi", "jpeg", "png"})) {
            const std::string format = value;
            o.fileFormat = format == "bmp" ? TWFF_BMP : format == "tiff" ? TWFF_TIFF
                           : format == "tiff-multi" ? TWFF_TIFFMULTI : format == "jpeg" ? TWFF_JFIF : TWFF_PNG;
            o.fileExtension = format == "bmp" ? ".bmp" : format == "jpeg" ? ".jpg" : format == "png" ? ".png" : ".tif";
        } else if (option == "--pixel-type" && takes({"bw", "gray", "rgb"})) {
            o.pixelType = value[0] == 'b' ? TWPT_BW : value[0] == 'g' ? TWPT_GRAY : TWPT_RGB;
        } else if (option == "--out" && value) {
            o.outputPath = __argv[++i];
        } else if (option == "--resolution" && value && std::atoi(value) > 0) {
            o.resolution = std::atoi(__argv[++i]);
        } else if (option == "--pages" && value && std::atoi(value) > 0) {
            o.pages = std::atoi(__argv[++i]);
        } else if (option == "--manager" && value) {
            o.managerPath = __argv[++i];
        } else if (option == "--soak" && value && std::atoi(value) > 0) {
            o.soakCycles = std::atoi(__argv[++i]);
        } else if (option == "--frame" && value && ParseFrame(value, o.frame)) {
            o.frameGiven = true;
            ++i;
        } else {
            std::fprintf(stderr, "twainapp: unknown or incomplete option %s\n", option.c_str());
            return false;
        }
    }
    if (o.outputPath.empty())
        o.outputPath = o.mechanism == Mechanism::File ? "scan" + o.fileExtension : "scan.bmp";
    return true;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show)
{
    if (!ParseOptions(session.options))
        return 2;
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
    if (session.options.soakCycles > 0)
        return RunSoak(session.options.soakCycles);
    OpenSource();
    if (!session.sourceEnabled) {
        CloseEverything();
        return 1;
    }

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (PassToSource(message))
            continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    CloseEverything();
    return session.failed ? 1 : 0;
}
