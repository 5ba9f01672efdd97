// The source's Win32 shell inside a test program that carries the source's
// resources: localisation through the support library, the scan settings
// window, the message boxes and the choice of manager for notifications.
#include <windows.h>

#include <gtest/gtest.h>

#include <string.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "DebugTrace.h"
#include "FakeSourcePlatform.h"
#include "shell/Localization.h"
#include "shell/ManagerLink.h"
#include "shell/ScanWindowHost.h"
#include "SourceContext.h"
#include "shell/SupportLibrary.h"
#include "TwainTestSupport.h"
#include "resource.h"
#include "shell/MessageBoxes.h"

namespace {
std::vector<std::string> traces;
void recordTrace(const char* text) { traces.push_back(text); }

// Answers the next message box with this caption and remembers its text.
class BoxAnswerer {
public:
    BoxAnswerer(const char* caption, int button)
        : worker_([this, caption, button] {
              for (int i = 0; i < 200; ++i) {
                  if (HWND box = FindWindowA(nullptr, caption)) {
                      char text[1024] = "";
                      GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
                      text_ = text;
                      found_ = true;
                      PostMessageA(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
                      return;
                  }
                  Sleep(50);
              }
          })
    {
    }
    ~BoxAnswerer()
    {
        if (worker_.joinable())
            worker_.join();
    }
    std::string text()
    {
        worker_.join();
        return found_ ? text_ : "<no box>";
    }

private:
    std::string text_;
    std::atomic<bool> found_{false};
    std::thread worker_;
};

class SourceShell : public ::testing::Test {
protected:
    FakeSourcePlatform platform;

    void SetUp() override
    {
        twaintest::installTranslationFile();
        twaintest::setRegistryLocale("");
        start("", "");
    }

    void start(const char* windowsVersion, const char* charSet)
    {
        SetEnvironmentVariableA("ZVP4D_WINDOWS_VERSION", *windowsVersion ? windowsVersion : nullptr);
        SetEnvironmentVariableA("ZVP4D_CHARSET", *charSet ? charSet : nullptr);
        UnloadSupportLibrary();
        shellState().instance = GetModuleHandleA(nullptr);
        ASSERT_TRUE(SUCCEEDED(LoadSupportLibrary(shellState().instance)));
        StartLocalization();
        decideAnsiMode();
        resetSourceContext();
        setSourcePlatform(&platform);
        traces.clear();
        setDebugTraceObserver(recordTrace);
    }

    void TearDown() override
    {
        setDebugTraceObserver(nullptr);
        DestroyScanWindow();
        UnloadSupportLibrary();
        SetEnvironmentVariableA("ZVP4D_WINDOWS_VERSION", nullptr);
        SetEnvironmentVariableA("ZVP4D_CHARSET", nullptr);
        twaintest::installTranslationFile();
    }

    std::string localized(UINT id, int* result = nullptr)
    {
        char buffer[1024];
        int length = LoadLocalizedString(id, buffer, sizeof buffer);
        if (result)
            *result = length;
        if (length == -1)
            return "<no entry>";
        if (shellState().ansiMode)
            return buffer;
        char narrow[1024];
        WideCharToMultiByte(CP_ACP, 0, reinterpret_cast<wchar_t*>(buffer), -1, narrow, sizeof narrow, nullptr,
                            nullptr);
        return narrow;
    }

    std::string controlText(HWND window, int id)
    {
        char text[256] = "";
        GetDlgItemTextA(window, id, text, sizeof text);
        return text;
    }
};
}

TEST_F(SourceShell, LocalizedStringsInBothTextForms)
{
    int result = 0;
    EXPECT_FALSE(shellState().ansiMode);
    EXPECT_EQ(localized(IDS_ERROR_ADF_JAM, &result), "The paper is jammed in the automatic document feeder.");
    EXPECT_GT(result, 0);
    EXPECT_EQ(localized(IDS_SETTINGS, &result), "Settings") << "no translation: the key itself";
    EXPECT_EQ(result, -8);
    EXPECT_EQ(localized(25), "<no entry>");

    start("1", "");
    EXPECT_TRUE(shellState().ansiMode);
    EXPECT_EQ(localized(IDS_ERROR_ADF_JAM, &result), "The paper is jammed in the automatic document feeder.");
    EXPECT_EQ(localized(IDS_SETTINGS), "Settings");

    start("2", "0");
    EXPECT_EQ(localized(IDS_BUTTON_CANCEL), "Cancel") << "ANSI windows from a wide table";
    start("4", "1");
    EXPECT_EQ(localized(IDS_BUTTON_CANCEL), "Cancel") << "wide windows from an ANSI table";
}

TEST_F(SourceShell, ShortBuffersAreCutAndTerminated)
{
    wchar_t wide[8];
    EXPECT_EQ(LoadLocalizedString(IDS_TWAINUI_CAPTION, wide, sizeof wide), 7);
    EXPECT_EQ(std::wstring(wide), L"Vivaro ");
    char key[1024];
    EXPECT_TRUE(TranslateKey("BUTTON_SCAN", key));
    EXPECT_EQ(std::wstring(reinterpret_cast<wchar_t*>(key)), L"Scan");
    EXPECT_FALSE(TranslateKey("NO_SUCH_KEY", key));
}

TEST_F(SourceShell, ScanWindowFromEitherTemplateIsLocalised)
{
    DeleteFileA(twaintest::settingsFile().c_str());  // the custom area's defaults: a letter page
    for (const char* windowsVersion : {"4", "1"}) {
        start(windowsVersion, "");
        ASSERT_TRUE(CreateScanWindow(nullptr)) << windowsVersion;
        ASSERT_TRUE(ScanWindowExists());
        HWND window = FindWindowA(nullptr, "Vivaro 5310MF Scan");
        ASSERT_NE(window, nullptr) << "titled by TWAINUI_CAPTION";
        EXPECT_EQ(controlText(window, IDC_BUTTON_SCAN), "Scan");
        EXPECT_EQ(controlText(window, IDC_BUTTON_EXIT), "Exit");
        EXPECT_EQ(controlText(window, IDC_GROUP_ADVANCED), "Advanced Controls");
        EXPECT_EQ(controlText(window, IDC_TEXT_VERSION), "Version 0.1.61.0");
        EXPECT_EQ(controlText(window, IDC_TEXT_IMAGE_SIZE), "24.1 MB") << "letter, 300 dpi, colour";
        EXPECT_FALSE(IsWindowVisible(GetDlgItem(window, IDC_EDIT_THRESHOLD)));
        EXPECT_EQ(GetDlgItem(window, IDC_NATIVE_FONT) != nullptr, std::string(windowsVersion) == "1");

        MSG message{};
        message.hwnd = GetDlgItem(window, IDC_BUTTON_SCAN);
        message.message = WM_KEYDOWN;
        message.wParam = VK_TAB;
        EXPECT_TRUE(ScanWindowConsumes(&message));
        DestroyScanWindow();
        EXPECT_FALSE(ScanWindowExists());
        EXPECT_FALSE(ScanWindowConsumes(&message));
    }
}

TEST_F(SourceShell, ScanAndExitButtonsNotifyTheApplication)
{
    ASSERT_TRUE(CreateScanWindow(nullptr));
    HWND window = FindWindowA(nullptr, "Vivaro 5310MF Scan");
    ASSERT_NE(window, nullptr);
    setSourceState(StateEnabled);
    SendMessageA(window, WM_COMMAND, MAKEWPARAM(IDC_BUTTON_SCAN, BN_CLICKED), 0);
    SendMessageA(window, WM_COMMAND, MAKEWPARAM(IDC_BUTTON_SCAN, BN_CLICKED), 0);
    SendMessageA(window, WM_COMMAND, MAKEWPARAM(IDC_BUTTON_EXIT, BN_CLICKED), 0);
    EXPECT_EQ(platform.notifications, (std::vector<TW_UINT16>{MSG_XFERREADY, MSG_CLOSEDSREQ}))
        << "Scan signals once: the source is in state 6 afterwards";
    EXPECT_EQ(sourceState(), StateTransferReady);
}

TEST_F(SourceShell, WarningsTraceTheirTextAndShowOnlyWhenAsked)
{
    EXPECT_EQ(ShowWarning(nullptr, IDS_ERROR_CANT_CLOSE_CHANNEL, FALSE), 0);
    ASSERT_EQ(traces.size(), 1u);
    EXPECT_EQ(traces[0], "The connection to the scanner could not be closed.");

    BoxAnswerer answer("Vivaro 5310MF Scan", IDOK);
    EXPECT_EQ(ShowWarning(nullptr, IDS_ERROR_ADF_JAM, TRUE), IDOK);
    EXPECT_EQ(answer.text(), "The paper is jammed in the automatic document feeder.");
}

TEST_F(SourceShell, FormattedWarningsTakeOneNumberOnly)
{
    twaintest::writeTextFile(twaintest::translationFile(),
                             "[en-US]\nIDS_ERROR_QUERY_DOC_FEEDER = Feeder query failed (%d) %s %n\n");
    start("", "");
    EXPECT_EQ(ShowWarningFormatted(nullptr, IDS_ERROR_QUERY_DOC_FEEDER, 255, FALSE), 0);
    ASSERT_EQ(traces.size(), 1u);
    EXPECT_EQ(traces[0], "Feeder query failed (255) %s %n");
    start("1", "");
    ShowWarningFormatted(nullptr, IDS_ERROR_QUERY_DOC_FEEDER, -3, FALSE);
    EXPECT_EQ(traces.back(), "Feeder query failed (-3) %s %n");
}

TEST_F(SourceShell, TheImageTooLargeWarningHasAText)
{
    ShowWarning(nullptr, IDS_ERROR_IMAGE_TOO_LARGE, FALSE);
    ASSERT_EQ(traces.size(), 1u);
    EXPECT_EQ(traces[0].rfind("The image would be too large", 0), 0u) << traces[0];
}

TEST_F(SourceShell, AskOkCancelAnswersTheButton)
{
    {
        BoxAnswerer answer("Vivaro 5310MF Scan", IDCANCEL);
        EXPECT_EQ(AskOkCancel(nullptr, IDS_MESSAGE_ADF_PROMPT, IDS_TWAINUI_CAPTION), IDCANCEL);
        EXPECT_EQ(answer.text(), "Please load the document into the automatic document feeder.");
    }
    start("1", "");
    BoxAnswerer answer("Vivaro 5310MF Scan", IDOK);
    EXPECT_EQ(AskOkCancel(nullptr, IDS_MESSAGE_ADF_PROMPT, IDS_TWAINUI_CAPTION), IDOK);
    answer.text();
}

TEST_F(SourceShell, PlainWarningsShowTheKeyAndTraceWhere)
{
    BoxAnswerer answer("Calder TWAIN Driver", IDOK);
    ShowPlainWarning(nullptr, IDS_ERROR_NO_MEMORY_FOR_DIB, 1441, "BitmapBuilder.cpp");
    EXPECT_EQ(answer.text(), "IDS_ERROR_NO_MEMORY_FOR_DIB");
    ASSERT_FALSE(traces.empty());
    EXPECT_EQ(traces.back(), "IDS_ERROR_NO_MEMORY_FOR_DIB\n\n1441 @ BitmapBuilder.cpp");
}

TEST_F(SourceShell, NotificationsGoThroughTheManagerAlreadyLoaded)
{
    using CallsProc = int (*)(TW_IDENTITY*, TW_IDENTITY*, TW_UINT32*, TW_UINT16*, TW_UINT16*);
    HMODULE wineManager = LoadLibraryA("TWAIN_32.DLL");
    HMODULE twainTwoManager = LoadLibraryA("TWAINDSM.DLL");
    ASSERT_NE(twainTwoManager, nullptr);
    auto calls = reinterpret_cast<CallsProc>(
        reinterpret_cast<void*>(GetProcAddress(twainTwoManager, "FakeManagerCalls")));
    ASSERT_NE(calls, nullptr);
    sourceContext().SourceIdentity.Id = 31;
    sourceContext().ConnectedApp.Id = 17;

    SendManagerNotification(MSG_XFERREADY);
    TW_IDENTITY origin{}, destination{};
    TW_UINT32 group = 0;
    TW_UINT16 dat = 0xffff, message = 0;
    EXPECT_EQ(calls(&origin, &destination, &group, &dat, &message), 1) << "the TWAIN 2 manager is preferred";
    EXPECT_EQ(origin.Id, 31u);
    EXPECT_EQ(destination.Id, 17u);
    EXPECT_EQ(group, static_cast<TW_UINT32>(DG_CONTROL));
    EXPECT_EQ(dat, DAT_NULL);
    EXPECT_EQ(message, MSG_XFERREADY);
    FreeLibrary(twainTwoManager);

    // With only TWAIN_32.DLL loaded the notification goes there; without any,
    // TWAIN_32.DLL is loaded for the call and released again.
    SendManagerNotification(MSG_CLOSEDSREQ);
    if (wineManager)
        FreeLibrary(wineManager);
    SendManagerNotification(MSG_CLOSEDSREQ);
    EXPECT_EQ(GetModuleHandleA("TWAIN_32.DLL"), nullptr);
}
