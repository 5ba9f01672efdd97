// The scan settings window, live: opened through Wine's data source manager
// over the emulated scanner, driven with posted clicks and mouse messages,
// read back control by control and photographed.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "LiveWindow.h"
#include "TwainTestSupport.h"
#include "resource.h"

using namespace twaintest;

namespace {

const char kScanCaption[] = "Vivaro 5310MF Scan";

// A 100 dpi letter page: white with a dark block and gray bands, so that a
// preview shows where it lies.
std::string writePage()
{
    std::string path = temporaryFile("scan_window_page.pgm");
    const int width = 850, height = 1100;
    std::string pixels(static_cast<size_t>(width) * height, '\xF0');
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            char& pixel = pixels[static_cast<size_t>(y) * width + x];
            if (x >= 200 && x < 650 && y >= 250 && y < 550)
                pixel = '\x30';
            else if (y >= 700 && y < 1000 && (y / 40) % 2 == 0)
                pixel = static_cast<char>(80 + x / 6);
        }
    std::ofstream out(path, std::ios::binary);
    out << "P5\n" << width << " " << height << "\n255\n" << pixels;
    return path;
}

std::string controlText(HWND dialog, int id)
{
    return wintest::WindowText(GetDlgItem(dialog, id));
}

std::vector<std::string> comboItems(HWND dialog, int id)
{
    HWND combo = GetDlgItem(dialog, id);
    std::vector<std::string> items;
    auto count = static_cast<int>(SendMessageA(combo, CB_GETCOUNT, 0, 0));
    for (int index = 0; index < count; ++index) {
        char text[256] = {};
        SendMessageA(combo, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text));
        items.push_back(text);
    }
    return items;
}

std::string selectedItem(HWND dialog, int id)
{
    HWND combo = GetDlgItem(dialog, id);
    auto index = SendMessageA(combo, CB_GETCURSEL, 0, 0);
    char text[256] = {};
    if (index >= 0)
        SendMessageA(combo, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text));
    return text;
}

std::string setting(const char* key)
{
    char text[64];
    GetPrivateProfileStringA("Settings", key, "<missing>", text, sizeof text, settingsFile().c_str());
    return text;
}

class ScanWindowLive : public ManagerSessionTest {
protected:
    HWND dialog = nullptr;

    static void SetUpTestSuite()
    {
        installUnderManager(writePage(), {"\\ZVP4_d__.dll", "\\ZVP4_i__.dll"});
        startFromKnownSettings();
    }

    // Sessions write their settings back at close, so the suite starts from
    // a file of its own: colour at 300 dpi over a letter-sized custom area,
    // whatever ran before in the prefix.
    static void startFromKnownSettings()
    {
        const std::string file = settingsFile();
        DeleteFileA(file.c_str());
        const char* values[][2] = {{"Resolution", "300"}, {"PixelType", "2"},      {"PaperSize", "0"},
                                   {"custom-left", "0"},  {"custom-top", "0"},     {"custom-right", "40800"},
                                   {"custom-bottom", "52800"}, {"FirstTime", "FALSE"}};
        for (const auto& value : values)
            WritePrivateProfileStringA("Settings", value[0], value[1], file.c_str());
        WritePrivateProfileStringA(nullptr, nullptr, nullptr, file.c_str());
    }

    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(ManagerSessionTest::SetUp());
        ASSERT_NO_FATAL_FAILURE(openFirstSource());
        ASSERT_EQ(enable(TRUE), TWRC_SUCCESS);
        dialog = wintest::WaitForTopWindow(kScanCaption, GetCurrentProcessId(), 5000);
        ASSERT_NE(dialog, nullptr);
        SetForegroundWindow(dialog);
        runMessageLoopForRequest(200);
    }

    void TearDown() override { endSession(); }

    void click(int id)
    {
        PostMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
        runMessageLoopForRequest(300);
    }

    void choose(int comboId, int index)
    {
        HWND combo = GetDlgItem(dialog, comboId);
        SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(comboId, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
    }

    HWND preview() { return FindWindowExA(dialog, nullptr, "ScreenClass", nullptr); }

    // Real pointer input: the pointer moves over the screen and the button
    // goes down and up, as a person would drag.
    void drag(POINT from, POINT to)
    {
        HWND window = preview();
        auto moveTo = [&](POINT point) {
            ClientToScreen(window, &point);
            SetCursorPos(point.x, point.y);
            runMessageLoopForRequest(80);
        };
        auto button = [&](DWORD flag) {
            INPUT input{};
            input.type = INPUT_MOUSE;
            input.mi.dwFlags = flag;
            SendInput(1, &input, sizeof input);
            runMessageLoopForRequest(80);
        };
        moveTo(from);
        button(MOUSEEVENTF_LEFTDOWN);
        moveTo(POINT{(from.x + to.x) / 2, (from.y + to.y) / 2});
        moveTo(to);
        button(MOUSEEVENTF_LEFTUP);
        runMessageLoopForRequest(200);
    }

    // Presses a button whose answer the caller waits for.
    void press(int id) { PostMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

    void uncheckFeeder()
    {
        if (IsDlgButtonChecked(dialog, IDC_CHECK_FEEDER) == BST_CHECKED)
            click(IDC_CHECK_FEEDER);
        ASSERT_EQ(IsDlgButtonChecked(dialog, IDC_CHECK_FEEDER), BST_UNCHECKED);
    }
};
}

TEST_F(ScanWindowLive, ListsTextsAndTheFeederBox)
{
    EXPECT_EQ(controlText(dialog, IDC_BUTTON_PREVIEW), "Preview");
    EXPECT_EQ(controlText(dialog, IDC_CHECK_FEEDER), "Use Automatic Document Feeder");
    EXPECT_EQ(controlText(dialog, IDC_LABEL_COLOR_TYPE), "Color Type");
    EXPECT_EQ(comboItems(dialog, IDC_COMBO_PAPER_SIZE),
              (std::vector<std::string>{"A4", "A5", "JIS B5", "Letter", "Legal", "F4", "Half Letter", "Statement",
                                        "Custom"}));
    EXPECT_EQ(comboItems(dialog, IDC_COMBO_RESOLUTION), (std::vector<std::string>{"150", "300", "600"}));
    EXPECT_EQ(comboItems(dialog, IDC_COMBO_COLOR_TYPE),
              (std::vector<std::string>{"Black and White", "Grayscale", "Color"}));
    EXPECT_EQ(selectedItem(dialog, IDC_COMBO_COLOR_TYPE), "Color");

    // The emulated feeder holds paper: the box starts checked, Preview off.
    EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_CHECK_FEEDER), BST_CHECKED);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_BUTTON_PREVIEW)));
    click(IDC_CHECK_FEEDER);
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDC_BUTTON_PREVIEW)));

    choose(IDC_COMBO_PAPER_SIZE, 3);  // Letter at the left edge
    EXPECT_EQ(controlText(dialog, IDC_EDIT_WIDTH), "8.5");
    EXPECT_EQ(controlText(dialog, IDC_EDIT_HEIGHT), "11.0");
    EXPECT_EQ(controlText(dialog, IDC_TEXT_IMAGE_SIZE), "24.1 MB");

    choose(IDC_COMBO_COLOR_TYPE, 0);
    EXPECT_EQ(controlText(dialog, IDC_TEXT_IMAGE_SIZE), " 1.0 MB");
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(dialog, IDC_EDIT_THRESHOLD)));
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(dialog, IDC_EDIT_BRIGHTNESS)));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_CHECK_DESCREEN)));
    click(IDC_BUTTON_PHOTO);
    EXPECT_EQ(selectedItem(dialog, IDC_COMBO_COLOR_TYPE), "Color");
    EXPECT_EQ(selectedItem(dialog, IDC_COMBO_RESOLUTION), "300");
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(dialog, IDC_EDIT_THRESHOLD)));
    choose(IDC_COMBO_RESOLUTION, 2);
    click(IDC_BUTTON_DOCUMENT);
    EXPECT_EQ(selectedItem(dialog, IDC_COMBO_RESOLUTION), "600") << "the resolution list holds no 200";
    EXPECT_EQ(selectedItem(dialog, IDC_COMBO_COLOR_TYPE), "Black and White");
    EXPECT_TRUE(wintest::SaveWindowPng(dialog, "screenshots\\scan_window_settings.png"));

    press(IDC_BUTTON_EXIT);
    EXPECT_EQ(runMessageLoopForRequest(), MSG_CLOSEDSREQ);
}

TEST_F(ScanWindowLive, ADrawnSelectionBecomesTheCustomArea)
{
    uncheckFeeder();
    RECT client;
    GetClientRect(preview(), &client);
    ASSERT_GT(client.right, 100);
    EXPECT_NEAR(client.bottom, client.right * 14 / 8.5, 1) << "the preview shows the 14-inch bed";

    // A5 covers the left two thirds of the width; a press right of it starts
    // a new rectangle (inside it, the press would move A5).
    choose(IDC_COMBO_PAPER_SIZE, 1);
    POINT from{client.right * 3 / 4, client.right / 10};
    POINT to{client.right - 20, client.bottom / 2};
    drag(from, to);
    auto units = [&](int pixels) { return pixels * 40800 / client.right; };
    EXPECT_EQ(selectedItem(dialog, IDC_COMBO_PAPER_SIZE), "Custom");
    EXPECT_EQ(setting("custom-left"), std::to_string(units(from.x)));
    EXPECT_EQ(setting("custom-top"), std::to_string(units(from.y)));
    EXPECT_EQ(setting("custom-right"), std::to_string(units(to.x)));
    EXPECT_EQ(setting("custom-bottom"), std::to_string(units(to.y)));
    char width[16];
    snprintf(width, sizeof width, "%1.1f", (units(to.x) - units(from.x)) / 4800.0);
    EXPECT_EQ(controlText(dialog, IDC_EDIT_WIDTH), width);
    char height[16];
    snprintf(height, sizeof height, "%2.1f", (units(to.y) - units(from.y)) / 4800.0);
    EXPECT_EQ(controlText(dialog, IDC_EDIT_HEIGHT), height);
    EXPECT_TRUE(wintest::SaveWindowPng(dialog, "screenshots\\scan_window_selection.png"));

    // Dragged out past the right and bottom edges: the whole bed.
    drag(POINT{20, client.bottom - 20}, POINT{client.right + 40, client.bottom + 40});
    EXPECT_EQ(setting("custom-left"), std::to_string(units(20)));
    EXPECT_EQ(setting("custom-right"), "40800");
    EXPECT_EQ(setting("custom-bottom"), "67200");

    // Too small to scan: the warning, and no transfer offered.
    choose(IDC_COMBO_PAPER_SIZE, 1);
    drag(POINT{client.right * 3 / 4, 20}, POINT{client.right * 3 / 4 + 1, 21});
    {
        MessageBoxAnswerer box(kScanCaption, 10000, dialog);
        press(IDC_BUTTON_SCAN);
        runMessageLoopForRequest(1500);
        EXPECT_EQ(box.text(), "Please select a larger scan area.");
    }
    EXPECT_EQ(runMessageLoopForRequest(300), MSG_NULL);
}

TEST_F(ScanWindowLive, ScanTransfersExactlyTheSelectedArea)
{
    uncheckFeeder();
    choose(IDC_COMBO_RESOLUTION, 0);  // 150 dpi
    choose(IDC_COMBO_COLOR_TYPE, 1);  // gray
    RECT client;
    GetClientRect(preview(), &client);
    choose(IDC_COMBO_PAPER_SIZE, 1);  // A5, left two thirds
    drag(POINT{client.right * 3 / 4, client.right / 4}, POINT{client.right - 10, client.right});
    // Moved left by half the width, over the page's dark block.
    drag(POINT{client.right * 7 / 8, client.right / 2}, POINT{client.right * 3 / 8, client.right / 2});
    const int left = std::stoi(setting("custom-left")), top = std::stoi(setting("custom-top"));
    const int right = std::stoi(setting("custom-right")), bottom = std::stoi(setting("custom-bottom"));
    EXPECT_NEAR(right - left, (client.right - 10 - client.right * 3 / 4) * 40800 / client.right, 1)
        << "moving keeps the size";
    EXPECT_LT(left, 40800 / 2);
    std::string width = controlText(dialog, IDC_EDIT_WIDTH);

    press(IDC_BUTTON_SCAN);
    ASSERT_EQ(runMessageLoopForRequest(10000), MSG_XFERREADY);
    TW_UINT32 handle = 0;
    ASSERT_EQ(toSource(DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET, &handle), TWRC_XFERDONE);
    auto dib = reinterpret_cast<HGLOBAL>(static_cast<UINT_PTR>(handle));
    const auto* info = static_cast<const BITMAPINFOHEADER*>(GlobalLock(dib));
    ASSERT_NE(info, nullptr);
    EXPECT_NEAR(info->biWidth, (right - left) * 150 / 4800, 1);
    const LONG rows = info->biHeight < 0 ? -info->biHeight : info->biHeight;
    EXPECT_NEAR(rows, (bottom - top) * 150 / 4800, 1);
    ASSERT_EQ(info->biBitCount, 8);
    const BYTE* bits = reinterpret_cast<const BYTE*>(info) + info->biSize + 256 * sizeof(RGBQUAD);
    const LONG stride = (info->biWidth + 3) & ~3;
    auto gray = [&](double inchesRight, double inchesDown) {
        LONG x = static_cast<LONG>((inchesRight - left / 4800.0) * 150);
        LONG y = static_cast<LONG>((inchesDown - top / 4800.0) * 150);
        LONG row = info->biHeight > 0 ? rows - 1 - y : y;
        return bits[row * stride + x];
    };
    // The page: dark block from 2 to 6.5 inches across and 2.5 to 5.5 down.
    EXPECT_LT(gray(3.0, 4.0), 0x60);
    EXPECT_GT(gray(3.0, 6.0), 0xC0);
    GlobalUnlock(dib);
    GlobalFree(dib);
    TW_PENDINGXFERS pending{};
    EXPECT_EQ(toSource(DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, &pending), TWRC_SUCCESS);

    TearDown();
    SetUp();
    EXPECT_EQ(selectedItem(dialog, IDC_COMBO_PAPER_SIZE), "Custom");
    EXPECT_EQ(controlText(dialog, IDC_EDIT_WIDTH), width) << "the custom area is kept in the settings file";
}

namespace {
std::string previewFile()
{
    char folder[MAX_PATH];
    GetTempPathA(sizeof folder, folder);
    return std::string(folder) + "Calder.bmp";
}

// The gray level the preview shows at a point of the page (in page pixels
// of the 100 dpi test page, which is 850 pixels wide).
int previewGray(HWND preview, int pageX, int pageY)
{
    RECT client;
    GetClientRect(preview, &client);
    HDC dc = GetDC(preview);
    COLORREF colour = GetPixel(dc, pageX * client.right / 850, pageY * client.right / 850);
    ReleaseDC(preview, dc);
    return GetGValue(colour);
}
}

TEST_F(ScanWindowLive, PreviewShowsThePageAndTheNextOpeningShowsItAgain)
{
    TearDown();  // the window writes its preview as it closes
    DeleteFileA(previewFile().c_str());
    SetUp();
    uncheckFeeder();
    EXPECT_GT(previewGray(preview(), 425, 400), 200) << "no preview yet: white";

    std::string resolution = selectedItem(dialog, IDC_COMBO_RESOLUTION);
    press(IDC_BUTTON_PREVIEW);
    runMessageLoopForRequest(3000);
    EXPECT_LT(previewGray(preview(), 425, 400), 0x60) << "the page's dark block";
    EXPECT_GT(previewGray(preview(), 100, 100), 0xC0) << "the page's white margin";
    EXPECT_EQ(selectedItem(dialog, IDC_COMBO_RESOLUTION), resolution) << "the preview's 50 dpi are not kept";

    RECT client;
    GetClientRect(preview(), &client);
    choose(IDC_COMBO_PAPER_SIZE, 1);
    drag(POINT{client.right * 3 / 4, client.right / 5}, POINT{client.right - 8, client.right * 3 / 5});
    EXPECT_TRUE(wintest::SaveWindowPng(dialog, "screenshots\\scan_window_preview.png"));

    TearDown();
    EXPECT_EQ(GetFileAttributesA(previewFile().c_str()) != INVALID_FILE_ATTRIBUTES, true)
        << "the preview is written to the temporary folder";
    SetUp();
    RedrawWindow(preview(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_LT(previewGray(preview(), 425, 400), 0x60) << "read back from the temporary folder";
}

namespace {
int firstNonGreyEntry(const uint8_t* palette)
{
    for (int i = 0; i < 256; ++i)
        if (palette[i * 4] != i || palette[i * 4 + 1] != i || palette[i * 4 + 2] != i)
            return i;
    return 256;
}
}

// Inside an Office host (a module named MSO.DLL loaded) the grey preview
// declares 255 colours; the copy kept in the temporary folder still has
// all 256 of the grey ramp.
TEST_F(ScanWindowLive, AGreyPreviewKeepsItsWhiteWithAndWithoutOffice)
{
    for (bool office : {false, true}) {
        SCOPED_TRACE(office ? "MSO.DLL loaded" : "no MSO.DLL");
        HMODULE mso = office ? LoadLibraryA("MSO.DLL") : nullptr;
        ASSERT_EQ(mso != nullptr, office);
        uncheckFeeder();
        choose(IDC_COMBO_COLOR_TYPE, 1);
        press(IDC_BUTTON_PREVIEW);
        runMessageLoopForRequest(3000);
        TearDown();  // the window writes its preview as it closes
        const std::string bytes = readTextFile(previewFile());
        ASSERT_GT(bytes.size(), 14u + 40u + 1024u);
        EXPECT_EQ(bytes[14 + 14], 8) << "a grey preview";
        EXPECT_EQ(firstNonGreyEntry(reinterpret_cast<const uint8_t*>(bytes.data()) + 14 + 40), 256);
        if (mso)
            FreeLibrary(mso);
        SetUp();
    }
}

// ICAP_PIXELFLAVOR 1 is the application's choice for its own images; the
// preview is the source's and shows the page as it is.
TEST_F(ScanWindowLive, ThePreviewIsNotInvertedForAnApplicationThatAskedForVanilla)
{
    ASSERT_EQ(setOneValue(ICAP_PIXELFLAVOR, TWTY_UINT16, 1), TWRC_SUCCESS);
    uncheckFeeder();
    choose(IDC_COMBO_COLOR_TYPE, 0);  // line art: the one type the flavour inverts
    press(IDC_BUTTON_PREVIEW);
    runMessageLoopForRequest(3000);
    EXPECT_LT(previewGray(preview(), 425, 400), 0x60) << "the page's dark block";
    EXPECT_GT(previewGray(preview(), 100, 100), 0xC0) << "the page's white margin";
    ASSERT_EQ(setOneValue(ICAP_PIXELFLAVOR, TWTY_UINT16, 0), TWRC_SUCCESS);
}

// The large-image question reads its switch exactly ("true" is not "TRUE")
// and keeps the box's state in the settings file on disk.
TEST_F(ScanWindowLive, TheLargeImageQuestionKeepsItsAnswerInTheSettingsFile)
{
    const std::string file = settingsFile();
    WritePrivateProfileStringA("IDS_ASKABOUTLARGEIMAGE", "IDS_DONTASKKEY", "true", file.c_str());
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, file.c_str());
    uncheckFeeder();
    choose(IDC_COMBO_PAPER_SIZE, 4);  // Legal
    choose(IDC_COMBO_RESOLUTION, 2);  // 600 dpi colour: 128 MB
    choose(IDC_COMBO_COLOR_TYPE, 2);
    auto answerWarning = [](bool& found, int attempts) {
        for (int i = 0; i < attempts && !found; ++i) {
            HWND warning = FindWindowA("#32770", "Warning");
            if (warning && IsWindowVisible(warning)) {
                found = true;
                SendDlgItemMessageA(warning, 1054, BM_CLICK, 0, 0);  // do not ask again
                SendDlgItemMessageA(warning, 1076, BM_CLICK, 0, 0);  // No
            }
            Sleep(25);
        }
    };
    bool asked = false;
    std::thread robot(answerWarning, std::ref(asked), 400);
    press(IDC_BUTTON_SCAN);
    EXPECT_EQ(runMessageLoopForRequest(3000), MSG_NULL) << "No: no transfer";
    robot.join();
    EXPECT_TRUE(asked);
    EXPECT_NE(readTextFile(file).find("IDS_DONTASKKEY=TRUE"), std::string::npos) << readTextFile(file);

    bool askedAgain = false;
    std::thread second(answerWarning, std::ref(askedAgain), 100);
    press(IDC_BUTTON_SCAN);
    EXPECT_EQ(runMessageLoopForRequest(5000), MSG_XFERREADY);
    second.join();
    EXPECT_FALSE(askedAgain);
    WritePrivateProfileStringA("IDS_ASKABOUTLARGEIMAGE", nullptr, nullptr, file.c_str());
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, file.c_str());
}

namespace {
std::wstring wideText(HWND window)
{
    wchar_t text[256] = {};
    GetWindowTextW(window, text, 256);
    return text;
}

// A second copy of the source, loaded by the test itself, so that it reads
// the locale afresh when it is attached.
class ScanWindowFrench : public LoadedSourceTest {
protected:
    void SetUp() override
    {
        prepareWindowsFolder();
        setRegistryLocale("fr-FR");
        SetEnvironmentVariableA("ZVP4_EMULATOR", writePage().c_str());
    }

    void TearDown() override
    {
        LoadedSourceTest::TearDown();
        setRegistryLocale("");
        SetEnvironmentVariableA("ZVP4_EMULATOR", nullptr);
    }
};
}

TEST_F(ScanWindowFrench, TextsAndListsComeFromTheFrenchTranslation)
{
    load();
    identity.Id = 5;
    ASSERT_EQ(call(DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, &identity), TWRC_SUCCESS);
    TW_USERINTERFACE userInterface{TRUE, FALSE, nullptr};
    ASSERT_EQ(call(DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS, &userInterface), TWRC_SUCCESS);
    HWND dialog = FindWindowW(nullptr, L"Numérisation Vivaro 5310MF");
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(wideText(GetDlgItem(dialog, IDC_BUTTON_PREVIEW)), L"Aperçu");
    EXPECT_EQ(wideText(GetDlgItem(dialog, IDC_BUTTON_SCAN)), L"Numériser");
    EXPECT_EQ(wideText(GetDlgItem(dialog, IDC_LABEL_RESOLUTION)), L"Résolution");
    HWND paper = GetDlgItem(dialog, IDC_COMBO_PAPER_SIZE);
    EXPECT_NE(SendMessageW(paper, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                           reinterpret_cast<LPARAM>(L"Lettre US")),
              CB_ERR);
    HWND colour = GetDlgItem(dialog, IDC_COMBO_COLOR_TYPE);
    EXPECT_NE(SendMessageW(colour, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                           reinterpret_cast<LPARAM>(L"Niveaux de gris")),
              CB_ERR);
    SetForegroundWindow(dialog);
    for (DWORD start = GetTickCount(); GetTickCount() - start < 300;) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&message);
        Sleep(10);
    }
    EXPECT_TRUE(wintest::SaveWindowPng(dialog, "screenshots\\scan_window_french.png"));
    EXPECT_EQ(call(DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS, &userInterface), TWRC_SUCCESS);
    EXPECT_EQ(call(DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, &identity), TWRC_SUCCESS);
}

TEST_F(ScanWindowLive, ThePointerShowsWhatADragWouldDo)
{
    uncheckFeeder();
    choose(IDC_COMBO_PAPER_SIZE, 1);  // A5 at the left edge: its right edge lies inside the preview
    HWND window = preview();
    RECT client;
    GetClientRect(window, &client);
    const int right = static_cast<int>(148 / 215.9 * client.right + 0.5);
    const int bottom = static_cast<int>(210 / 215.9 * client.right + 0.5);
    auto cursorAt = [&](int x, int y) {
        POINT point{x, y};
        ClientToScreen(window, &point);
        SetCursorPos(point.x, point.y);
        runMessageLoopForRequest(100);
        return GetCursor();
    };
    HMODULE source = GetModuleHandleA("sane.ds");
    ASSERT_NE(source, nullptr);
    EXPECT_EQ(cursorAt(right + 5, bottom / 2), LoadCursor(nullptr, IDC_SIZEWE)) << "within 6 pixels of the edge";
    EXPECT_EQ(cursorAt(right / 2, bottom - 4), LoadCursor(nullptr, IDC_SIZENS));
    EXPECT_EQ(cursorAt(right + 2, bottom + 2), LoadCursor(nullptr, IDC_SIZENWSE));
    EXPECT_EQ(cursorAt(right - 3, 3), LoadCursor(nullptr, IDC_SIZENESW));
    EXPECT_EQ(cursorAt(right / 2, bottom / 2), LoadCursorA(source, MAKEINTRESOURCEA(IDC_CURSOR_MOVE)));
    EXPECT_EQ(cursorAt(right + 20, bottom / 2), LoadCursor(nullptr, IDC_CROSS));
}
