// The data source behind Wine's own data source manager. The emulated
// scanner stands on the glass for the whole suite.
#include <windows.h>

#include <gtest/gtest.h>

#include <string.h>

#include <string>

#include "LiveWindow.h"
#include "TwainTestSupport.h"
#include "resource.h"

using namespace twaintest;

namespace {

const char kScanCaption[] = "Vivaro 5310MF Scan";

class ManagerPath : public ManagerSessionTest {
protected:
    static void SetUpTestSuite() { installUnderManager(writePlainPage("manager_path_page.pgm", '\x60'), {"\\ZVP4_d__.dll"}); }

    void selectAndOpen()
    {
        ASSERT_EQ(toManager(DG_CONTROL, DAT_IDENTITY, MSG_GETFIRST, &source), TWRC_SUCCESS);
        ASSERT_STREQ(source.ProductName, "Vivaro 5310MF Scanner");
        ASSERT_EQ(toManager(DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, &source), TWRC_SUCCESS);
    }
};
}

TEST_F(ManagerPath, TheManagerListsTheSourceByItsTranslatedIdentity)
{
    TW_IDENTITY first{};
    ASSERT_EQ(toManager(DG_CONTROL, DAT_IDENTITY, MSG_GETFIRST, &first), TWRC_SUCCESS);
    EXPECT_STREQ(first.Manufacturer, "ARVEL NORVANE");
    EXPECT_STREQ(first.ProductFamily, "Vivaro 5310MF/5320MF");
    EXPECT_STREQ(first.ProductName, "Vivaro 5310MF Scanner");
    EXPECT_EQ(first.Version.MajorNum, 1);
    EXPECT_EQ(first.Version.MinorNum, 61);
    TW_IDENTITY byDefault{};
    ASSERT_EQ(toManager(DG_CONTROL, DAT_IDENTITY, MSG_GETDEFAULT, &byDefault), TWRC_SUCCESS);
    EXPECT_STREQ(byDefault.ProductName, "Vivaro 5310MF Scanner");
}

TEST_F(ManagerPath, SelectOpenEnableWithoutInterfaceDisableAndClose)
{
    ASSERT_EQ(toManager(DG_CONTROL, DAT_IDENTITY, MSG_GETDEFAULT, &source), TWRC_SUCCESS);
    ASSERT_EQ(toManager(DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, &source), TWRC_SUCCESS);
    EXPECT_EQ(sourceStatus(), TWCC_SUCCESS);

    ASSERT_EQ(enable(FALSE), TWRC_SUCCESS);
    EXPECT_EQ(sourceStatus(), TWCC_SUCCESS);
    EXPECT_EQ(runMessageLoopForRequest(), MSG_XFERREADY) << "the transfer is offered through the application's loop";
    EXPECT_EQ(FindWindowA("#32770", kScanCaption), nullptr) << "neither the window nor a complaint";

    EXPECT_EQ(enable(FALSE), TWRC_FAILURE) << "a transfer is ready: the source is no longer just open";
    EXPECT_EQ(sourceStatus(), TWCC_SEQERROR);
    EXPECT_EQ(runMessageLoopForRequest(300), MSG_NULL) << "the transfer is offered once";

    EXPECT_EQ(disable(), TWRC_SUCCESS);
    EXPECT_EQ(disable(), TWRC_FAILURE);
    EXPECT_EQ(sourceStatus(), TWCC_SEQERROR);
    EXPECT_EQ(toManager(DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, &source), TWRC_SUCCESS);
    EXPECT_EQ(toManager(DG_CONTROL, DAT_PARENT, MSG_CLOSEDSM, &applicationWindow), TWRC_SUCCESS);
    EXPECT_EQ(toManager(DG_CONTROL, DAT_PARENT, MSG_OPENDSM, &applicationWindow), TWRC_SUCCESS);
}

TEST_F(ManagerPath, ScannerHeldByAnotherProgramIsReportedThroughTheManager)
{
    HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, "manager-path-holder-ready");
    HANDLE release = CreateEventA(nullptr, TRUE, FALSE, "manager-path-holder-release");
    wintest::RunningProgram holder;
    ASSERT_TRUE(holder.Start("scanner_holder.exe manager-path-holder-ready manager-path-holder-release"));
    ASSERT_EQ(WaitForSingleObject(ready, 20000), WAIT_OBJECT_0) << "the holder could not open the scanner";
    selectAndOpen();

    {
        MessageBoxAnswerer box(kScanCaption);
        EXPECT_EQ(enable(FALSE), TWRC_FAILURE);
        EXPECT_EQ(box.text(), "Another application is using the scanner. Try again when it has finished.");
    }
    EXPECT_EQ(sourceStatus(), TWCC_CHECKDEVICEONLINE);
    EXPECT_EQ(runMessageLoopForRequest(300), MSG_NULL);

    MSG message{};
    message.hwnd = applicationWindow;
    message.message = WM_MOUSEMOVE;
    TW_EVENT event{&message, MSG_NULL};
    EXPECT_EQ(toSource(DG_CONTROL, DAT_EVENT, MSG_PROCESSEVENT, &event), TWRC_NOTDSEVENT);

    EXPECT_EQ(disable(), TWRC_FAILURE);
    EXPECT_EQ(sourceStatus(), TWCC_SEQERROR);
    EXPECT_EQ(toManager(DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, &source), TWRC_SUCCESS);

    SetEvent(release);
    DWORD exitCode = 99;
    EXPECT_TRUE(holder.WaitForExit(20000, &exitCode));
    EXPECT_EQ(exitCode, 0u);
    CloseHandle(ready);
    CloseHandle(release);
}

TEST_F(ManagerPath, TheScanWindowShowsAndItsExitAsksTheApplicationToClose)
{
    selectAndOpen();
    ASSERT_EQ(enable(TRUE), TWRC_SUCCESS);
    EXPECT_EQ(runMessageLoopForRequest(500), MSG_NULL) << "nothing is offered before the user scans";

    HWND window = wintest::WaitForTopWindow(kScanCaption, GetCurrentProcessId(), 5000);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(wintest::WindowClass(window), "#32770");
    const std::vector<wintest::ControlInfo> controls = wintest::ReadControls(window);
    const wintest::ControlInfo* scan = wintest::FindControl(controls, IDC_BUTTON_SCAN);
    const wintest::ControlInfo* exit = wintest::FindControl(controls, IDC_BUTTON_EXIT);
    ASSERT_NE(scan, nullptr);
    ASSERT_NE(exit, nullptr);
    EXPECT_EQ(scan->text, "Scan");
    EXPECT_EQ(exit->text, "Exit");
    EXPECT_TRUE(exit->visible && exit->enabled);
    SetForegroundWindow(window);
    runMessageLoopForRequest(300);
    EXPECT_TRUE(wintest::SaveWindowPng(window, "screenshots\\twain_manager_scan_window.png"));

    PostMessageA(GetDlgItem(window, IDC_BUTTON_EXIT), BM_CLICK, 0, 0);
    EXPECT_EQ(runMessageLoopForRequest(), MSG_CLOSEDSREQ);
    EXPECT_TRUE(IsWindow(window)) << "the window stays until the application disables the source";

    EXPECT_EQ(disable(), TWRC_SUCCESS);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(toManager(DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, &source), TWRC_SUCCESS);
}

TEST_F(ManagerPath, TheManagerMayOpenTheSourceAgainWithoutUnloadingIt)
{
    selectAndOpen();
    ASSERT_EQ(toManager(DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, &source), TWRC_SUCCESS);
    selectAndOpen();
    EXPECT_EQ(sourceStatus(), TWCC_SUCCESS) << "the new session starts clean";
    TW_CAPABILITY capability{ICAP_PIXELTYPE, TWON_DONTCARE16, nullptr};
    EXPECT_EQ(toSource(DG_CONTROL, DAT_CAPABILITY, MSG_GET, &capability), TWRC_SUCCESS)
        << "the capability table is built again";
    GlobalFree(capability.hContainer);
    EXPECT_EQ(toManager(DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, &source), TWRC_SUCCESS);
}

// The emulated page is in the feeder as well as on the glass.
TEST_F(ManagerPath, CapabilitiesAreNegotiatedThroughTheManager)
{
    selectAndOpen();
    auto ask = [this](TW_UINT16 capId, TW_UINT16 msg, TW_UINT16 expectedConType) {
        TW_CAPABILITY capability{capId, TWON_DONTCARE16, nullptr};
        EXPECT_EQ(toSource(DG_CONTROL, DAT_CAPABILITY, msg, &capability), TWRC_SUCCESS) << std::hex << capId;
        EXPECT_EQ(capability.ConType, expectedConType);
        std::string bytes(static_cast<size_t>(GlobalSize(capability.hContainer)), '\0');
        memcpy(&bytes[0], GlobalLock(capability.hContainer), bytes.size());
        GlobalUnlock(capability.hContainer);
        GlobalFree(capability.hContainer);
        return bytes;
    };
    auto item = [](const std::string& container) {
        TW_ONEVALUE value;
        memcpy(&value, container.data(), sizeof value);
        return value.Item;
    };

    std::string resolutions = ask(ICAP_XRESOLUTION, MSG_GET, TWON_ENUMERATION);
    TW_ENUMERATION header;
    memcpy(&header, resolutions.data(), 14);
    EXPECT_EQ(header.NumItems, 3u);
    EXPECT_EQ(header.DefaultIndex, 0u);
    ASSERT_EQ(setOneValue(ICAP_XRESOLUTION, TWTY_FIX32, 300), TWRC_SUCCESS);  // Whole 300, Frac 0
    EXPECT_EQ(item(ask(ICAP_YRESOLUTION, MSG_GETCURRENT, TWON_ONEVALUE)), 300u);

    EXPECT_EQ(item(ask(ICAP_PHYSICALWIDTH, MSG_QUERYSUPPORT, TWON_ONEVALUE)), 13u);
    EXPECT_EQ(setOneValue(ICAP_PHYSICALWIDTH, TWTY_FIX32, 5), TWRC_FAILURE);
    EXPECT_EQ(sourceStatus(), TWCC_CAPBADOPERATION);

    EXPECT_EQ(item(ask(CAP_FEEDERLOADED, MSG_GETCURRENT, TWON_ONEVALUE)), 0u) << "the feeder is not in use";
    ASSERT_EQ(setOneValue(CAP_FEEDERENABLED, TWTY_BOOL, TRUE), TWRC_SUCCESS);
    EXPECT_EQ(item(ask(CAP_FEEDERLOADED, MSG_GETCURRENT, TWON_ONEVALUE)), 1u);
    ASSERT_EQ(setOneValue(ICAP_PIXELTYPE, TWTY_UINT16, TWPT_GRAY), TWRC_SUCCESS);
    std::string depth = ask(ICAP_BITDEPTH, MSG_GET, TWON_ENUMERATION);
    EXPECT_EQ(static_cast<unsigned char>(depth[14]), 8);
    EXPECT_EQ(toManager(DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, &source), TWRC_SUCCESS);
}

TEST_F(ManagerPath, SettingsLiveInTheWindowsFolderAcrossSessions)
{
    const std::string path = settingsFile();
    DeleteFileA(path.c_str());
    selectAndOpen();
    ASSERT_EQ(toManager(DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, &source), TWRC_SUCCESS);
    char value[64];
    GetPrivateProfileStringA("Settings", "Resolution", "<missing>", value, sizeof value, path.c_str());
    EXPECT_STREQ(value, "150") << "the close wrote the defaults";

    WritePrivateProfileStringA("Settings", "Resolution", "300", path.c_str());
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, path.c_str());
    selectAndOpen();
    ASSERT_EQ(toManager(DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, &source), TWRC_SUCCESS);
    GetPrivateProfileStringA("Settings", "Resolution", "<missing>", value, sizeof value, path.c_str());
    EXPECT_STREQ(value, "300") << "the next session read the file and kept the value";
}
