// The scan's dialogs live: the progress dialog during an emulated scan, the
// large-image warning and the numeric edit filter in a real rich edit.
#include "shell/ScanImage_win.h"
#include "ScanReplyResult.h"
#include "LiveWindow.h"
#include "SourceStubs_win.h"
#include "device/ScanCancel.h"
#include "device/ScanParameters.h"
#include "shell/ScannerDevice_win.h"
#include "shell/windows/LargeImageDialog.h"
#include "shell/windows/NumericEditFilter.h"
#include "shell/windows/ScanProgressDialog.h"

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

std::vector<unsigned>& recordedPrompts()
{
    static std::vector<unsigned> prompts;
    return prompts;
}

int ShowPlainWarning(HWND, UINT stringId, int, const char*)
{
    recordedWarnings().push_back({stringId, true});
    return IDOK;
}

int AskOkCancel(HWND, UINT textId, UINT)
{
    recordedPrompts().push_back(textId);
    return IDCANCEL;
}

namespace {

std::string tempPath(const std::string& name)
{
    char folder[MAX_PATH];
    GetTempPathA(sizeof folder, folder);
    return std::string(folder) + name;
}

// A 150 dpi grey page, 1275 x 600 pixels, on a scanner with these faults.
void useEmulatedPage(const std::string& faults = {})
{
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    std::string path = tempPath("scan_dialogs_page.pgm");
    {
        std::ofstream out(path, std::ios::binary);
        out << "P5\n1275 600\n255\n";
        for (int y = 0; y < 600; ++y)
            for (int x = 0; x < 1275; ++x)
                out.put(static_cast<char>(x * 3 + y));
    }
    if (!faults.empty()) {
        std::string config = tempPath("scan_dialogs_scanner.cfg");
        std::ofstream(config) << "page = " << path << "\n" << faults;
        path = config;
    }
    SetEnvironmentVariableA("ZVP4_EMULATOR", path.c_str());
    ASSERT_TRUE(reloadScannerDevice());
    cancelRequested = 0;
    recordedWarnings().clear();
}

void scanTwoInchesAt300(int pixelType)
{
    ScanParameters& p = currentScanParameters();
    p = ScanParameters{};
    p.resolution = 300;
    p.pixelType = pixelType;
    p.left = 0;
    p.top = 0;
    p.right = 40800;
    p.bottom = 9600;
}

// Watches what the engine writes into the progress dialog, on the scanning
// thread, and presses Cancel once the given percentage has been shown.
struct ProgressWatch {
    std::vector<std::string> texts;
    std::vector<int> positions;
    int cancelAt = -1;
    bool cancelPosted = false;
    bool pictureTaken = false;
    HHOOK hook = nullptr;
};
ProgressWatch* watch = nullptr;

LRESULT CALLBACK watchProgress(int code, WPARAM wParam, LPARAM lParam)
{
    auto* message = reinterpret_cast<CWPRETSTRUCT*>(lParam);
    if (code == HC_ACTION && message->message == WM_SETTEXT && GetDlgCtrlID(message->hwnd) == IDC_SCAN_PERCENT) {
        HWND dialog = GetParent(message->hwnd);
        char text[32] = "";
        GetWindowTextA(message->hwnd, text, sizeof text);
        watch->texts.push_back(text);
        int position = static_cast<int>(SendDlgItemMessageA(dialog, IDC_SCAN_PROGRESS, PBM_GETPOS, 0, 0));
        watch->positions.push_back(position);
        if (!watch->pictureTaken && position >= 50) {
            watch->pictureTaken = true;
            RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
            wintest::SaveWindowPng(dialog, "screenshots/scan_progress.png");
        }
        if (watch->cancelAt >= 0 && atoi(text) >= watch->cancelAt && !watch->cancelPosted) {
            watch->cancelPosted = true;
            PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_SCAN_CANCEL, BN_CLICKED),
                         reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDC_SCAN_CANCEL)));
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

int watchedScan(ProgressWatch& w, HGLOBAL* dib)
{
    watch = &w;
    w.hook = SetWindowsHookExA(WH_CALLWNDPROCRET, watchProgress, nullptr, GetCurrentThreadId());
    EXPECT_NE(w.hook, nullptr);
    int result = scanImage(1, 0, dib);
    UnhookWindowsHookEx(w.hook);
    watch = nullptr;
    return result;
}

TEST(ScanProgressDialog, ShowsAndAdvancesDuringAScan)
{
    useEmulatedPage();
    scanTwoInchesAt300(PIXEL_TYPE_GREY);
    ProgressWatch w;
    HGLOBAL dib = nullptr;
    ASSERT_EQ(watchedScan(w, &dib), SCAN_REPLY_SUCCESS);
    ASSERT_NE(dib, nullptr);
    auto* header = static_cast<BITMAPINFOHEADER*>(GlobalLock(dib));
    EXPECT_EQ(header->biWidth, 2550);
    EXPECT_EQ(header->biHeight, 600);
    EXPECT_EQ(header->biBitCount, 8);
    GlobalUnlock(dib);
    GlobalFree(dib);

    ASSERT_GT(w.texts.size(), 3u);
    EXPECT_EQ(w.texts.front(), "0%");
    for (size_t i = 0; i < w.texts.size(); ++i) {
        EXPECT_EQ(w.texts[i], std::to_string(w.positions[i]) + "%");
        if (i > 0) {
            EXPECT_GE(w.positions[i], w.positions[i - 1]);
        }
    }
    EXPECT_GE(w.positions.back(), 90);
    EXPECT_EQ(cancelRequested, 0);
}

TEST(ScanProgressDialog, CancelEndsTheScanWithNoImage)
{
    useEmulatedPage();
    scanTwoInchesAt300(PIXEL_TYPE_COLOUR);
    ProgressWatch w;
    w.cancelAt = 10;
    HGLOBAL dib = reinterpret_cast<HGLOBAL>(1);
    EXPECT_EQ(watchedScan(w, &dib), SCAN_REPLY_STOP_REQUESTED);
    EXPECT_EQ(dib, nullptr);
    EXPECT_TRUE(w.cancelPosted);
    EXPECT_LT(w.positions.back(), 100);
    EXPECT_EQ(cancelRequested, 0);
    EXPECT_TRUE(recordedWarnings().empty());
    EXPECT_EQ(FindWindowA(nullptr, "Vivaro 5320MF TWAIN"), nullptr);
    // The scanner was unlocked: the next scan locks it again at once.
    HGLOBAL again = nullptr;
    EXPECT_EQ(scanImage(1, 0, &again), SCAN_REPLY_SUCCESS);
    GlobalFree(again);
}

TEST(ScanProgressDialog, AStallIsWaitedOutAndCancelEndsItAtOnce)
{
    // Two seconds of silence early in the stream: the scan goes on after it.
    useEmulatedPage("stall = 2 at 2000\n");
    scanTwoInchesAt300(PIXEL_TYPE_GREY);
    DWORD start = GetTickCount();
    HGLOBAL dib = nullptr;
    ASSERT_EQ(scanImage(1, 0, &dib), SCAN_REPLY_SUCCESS);
    EXPECT_GE(GetTickCount() - start, 1900u);
    GlobalFree(dib);

    // A longer silence: Cancel, pressed a second into it, ends the scan
    // within two seconds although the scanner has not answered.
    useEmulatedPage("stall = 3 at 2000\n");
    start = GetTickCount();
    std::atomic<DWORD> pressed{0};
    std::thread user([&pressed] {
        HWND dialog = nullptr;
        for (int i = 0; i < 400 && !dialog; ++i) {
            dialog = FindWindowA("#32770", "Vivaro 5320MF TWAIN");
            if (!dialog)
                Sleep(10);
        }
        if (!dialog)
            return;
        Sleep(1000);
        pressed = GetTickCount();
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_SCAN_CANCEL, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDC_SCAN_CANCEL)));
    });
    EXPECT_EQ(scanImage(1, 0, &dib), SCAN_REPLY_STOP_REQUESTED);
    DWORD ended = GetTickCount();
    user.join();
    ASSERT_NE(pressed.load(), 0u);
    EXPECT_LE(ended - pressed, 2000u);
    EXPECT_LT(ended - start, 3000u) << "the scan ended before the scanner spoke again";
    EXPECT_TRUE(recordedWarnings().empty());
}

// Finds the modal warning from another thread, reads it, plays with the
// check box and answers.
struct WarningRobot {
    std::vector<std::string> texts;
    bool found = false;
};

void driveLargeImageWarning(WarningRobot& robot, int answer, int checkClicks)
{
    HWND dialog = nullptr;
    for (int i = 0; i < 2400 && !dialog; ++i) {  // a minute: a loaded machine opens dialogs slowly
        dialog = FindWindowA("#32770", "Warning");
        if (!dialog)
            Sleep(25);
    }
    if (!dialog)
        return;
    // The window exists before the dialog shows itself and runs its modal
    // loop; a click sent before then can be lost on a slow machine.
    for (int i = 0; i < 2400 && !IsWindowVisible(dialog); ++i)
        Sleep(25);
    robot.found = true;
    if (checkClicks == 0) {
        RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        wintest::SaveWindowPng(dialog, "screenshots/large_image_warning.png");
    }
    for (int id : {1072, 1073, 1074, 1075, 1076, 1054}) {
        char text[400] = "";
        GetDlgItemTextA(dialog, id, text, sizeof text);
        robot.texts.push_back(text);
    }
    for (int i = 0; i < checkClicks; ++i)
        SendDlgItemMessageA(dialog, IDC_WARNING_NOSHOW, BM_CLICK, 0, 0);
    SendDlgItemMessageA(dialog, answer, BM_CLICK, 0, 0);
}

TEST(LargeImageWarning, TextsAnswersAndTheDontAskBox)
{
    struct Case {
        int button;
        int checkClicks;
        INT_PTR result;
        std::vector<bool> written;
    } cases[] = {
        {IDC_WARNING_YES, 0, kLargeImageScan, {}},
        {IDC_WARNING_NO, 1, kLargeImageDoNotScan, {true}},
        // Unchecking after checking writes FALSE: the warning comes back.
        {IDC_WARNING_YES, 2, kLargeImageScan, {true, false}},
    };
    for (const Case& c : cases) {
        WarningRobot robot;
        std::thread driver(driveLargeImageWarning, std::ref(robot), c.button, c.checkClicks);
        std::vector<bool> written;
        INT_PTR result = showLargeImageWarning(nullptr, [&written](bool dontAsk) { written.push_back(dontAsk); });
        driver.join();
        ASSERT_TRUE(robot.found);
        EXPECT_EQ(result, c.result);
        EXPECT_EQ(written, c.written);
        ASSERT_EQ(robot.texts.size(), 6u);
        EXPECT_EQ(robot.texts[0].rfind("You are trying to scan an image that is larger than 100 megabytes.", 0), 0u);
        EXPECT_EQ(robot.texts[2], "Are you sure that you want to perform this scanning operation?");
        EXPECT_EQ(robot.texts[3], "Yes");
        EXPECT_EQ(robot.texts[4], "No");
        EXPECT_EQ(robot.texts[5], "Do not display this warning again.");
    }
}

struct RichEditTest : ::testing::Test {
    HWND edit = nullptr;
    void SetUp() override
    {
        ASSERT_NE(LoadLibraryA("Riched32.dll"), nullptr);
        edit = CreateWindowExA(0, "RICHEDIT", "", WS_POPUP | WS_VISIBLE | ES_AUTOHSCROLL, 0, 0, 80, 20, nullptr,
                               nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(edit, nullptr);
    }
    void TearDown() override { DestroyWindow(edit); }

    std::string type(const std::string& keys)
    {
        for (char k : keys)
            SendMessageA(edit, WM_CHAR, static_cast<unsigned char>(k), 0);
        char text[64] = "";
        GetWindowTextA(edit, text, sizeof text);
        return text;
    }
};

TEST_F(RichEditTest, NumericFilterEdgeCases)
{
    struct Case {
        NumericEditRange range;
        const char* keys;
        const char* text;
    } cases[] = {
        {{60, -60, 1}, "70", "7"},     // 70 is out of range
        {{60, -60, 1}, "-45", "-45"},  //
        {{60, -60, 1}, "5-", "5"},     // a minus only first
        {{60, -60, 1}, "-0", ""},      // a lone -0 clears
        {{60, -60, 1}, "05", "5"},     // no leading zero
        {{7, 1, 1}, "-3", "3"},        // no minus without a negative bound
        {{7, 1, 1}, "9", ""},
        {{60, -60, 1}, "a", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.keys);
        SetWindowTextA(edit, "");
        ASSERT_TRUE(installNumericEditFilter(edit, c.range));
        EXPECT_EQ(type(c.keys), c.text);
    }
    SetWindowTextA(edit, "1");
    SendMessageA(edit, EM_SETSEL, 1, 1);
    if (OpenClipboard(nullptr)) {
        EmptyClipboard();
        HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, 3);
        memcpy(GlobalLock(block), "23", 3);
        GlobalUnlock(block);
        SetClipboardData(CF_TEXT, block);
        CloseClipboard();
    }
    SendMessageA(edit, WM_PASTE, 0, 0);
    char text[16] = "";
    GetWindowTextA(edit, text, sizeof text);
    EXPECT_STREQ(text, "1");
    removeNumericEditFilter(edit);
}

}  // namespace
