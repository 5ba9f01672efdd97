// The data source behind Wine's own data source manager. Wine's twain_32
// scans no folder: on 64-bit it loads only <Windows>\twain_64\sane.ds (then
// gphoto2.ds), so the source is installed under that name.
#include <windows.h>

#include <gtest/gtest.h>

#include <string.h>

#include <string>

#include "TwainTestSupport.h"

using namespace twaintest;

namespace {
class ManagerPath : public ::testing::Test {
protected:
    static HMODULE manager;
    static DSMENTRYPROC dsmEntry;
    static HWND applicationWindow;
    TW_IDENTITY application = applicationIdentity();
    TW_IDENTITY source{};

    static void SetUpTestSuite()
    {
        std::string folder = windowsFolder() + "\\twain_64";
        createFolders(folder);
        ASSERT_TRUE(CopyFileA((programFolder() + "\\ZVP4T___.ds").c_str(), (folder + "\\sane.ds").c_str(), FALSE));
        ASSERT_TRUE(
            CopyFileA((programFolder() + "\\ZVP4_d__.dll").c_str(), (folder + "\\ZVP4_d__.dll").c_str(), FALSE));
        installTranslationFile();
        setRegistryLocale("");
        createFolders(windowsFolder() + "\\TWAIN_32\\ZVP4");

        manager = LoadLibraryA("twain_32.dll");
        ASSERT_NE(manager, nullptr);
        dsmEntry = reinterpret_cast<DSMENTRYPROC>(reinterpret_cast<void*>(GetProcAddress(manager, "DSM_Entry")));
        ASSERT_NE(dsmEntry, nullptr);
        applicationWindow = CreateWindowA("STATIC", "TWAIN test application", WS_OVERLAPPED, 0, 0, 100, 100,
                                          nullptr, nullptr, nullptr, nullptr);
    }

    static void TearDownTestSuite()
    {
        if (applicationWindow)
            DestroyWindow(applicationWindow);
    }

    void SetUp() override
    {
        ASSERT_NE(dsmEntry, nullptr);
        ASSERT_EQ(toManager(DG_CONTROL, DAT_PARENT, MSG_OPENDSM, &applicationWindow), TWRC_SUCCESS);
    }

    void TearDown() override { toManager(DG_CONTROL, DAT_PARENT, MSG_CLOSEDSM, &applicationWindow); }

    TW_UINT16 toManager(TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data)
    {
        return dsmEntry(&application, nullptr, dg, dat, msg, data);
    }

    TW_UINT16 toSource(TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data)
    {
        return dsmEntry(&application, &source, dg, dat, msg, data);
    }

    TW_UINT16 sourceStatus()
    {
        TW_STATUS status{0xdead, 0};
        EXPECT_EQ(toSource(DG_CONTROL, DAT_STATUS, MSG_GET, &status), TWRC_SUCCESS);
        return status.ConditionCode;
    }

    void selectAndOpen()
    {
        ASSERT_EQ(toManager(DG_CONTROL, DAT_IDENTITY, MSG_GETFIRST, &source), TWRC_SUCCESS);
        ASSERT_STREQ(source.ProductName, "Vivaro 5310MF Scanner");
        ASSERT_EQ(toManager(DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, &source), TWRC_SUCCESS);
    }
};

HMODULE ManagerPath::manager = nullptr;
DSMENTRYPROC ManagerPath::dsmEntry = nullptr;
HWND ManagerPath::applicationWindow = nullptr;
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

TEST_F(ManagerPath, OpenEnableDisableAndCloseThroughTheManager)
{
    selectAndOpen();
    EXPECT_EQ(sourceStatus(), TWCC_SUCCESS);

    TW_USERINTERFACE userInterface{0, 0, applicationWindow};
    MessageBoxAnswerer box("Vivaro 5310MF Scan");
    EXPECT_EQ(toSource(DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS, &userInterface), TWRC_FAILURE)
        << "no scanner is attached in the test prefix";
    EXPECT_FALSE(box.text().empty());
    EXPECT_EQ(sourceStatus(), TWCC_CHECKDEVICEONLINE);

    MSG message{};
    message.hwnd = applicationWindow;
    message.message = WM_MOUSEMOVE;
    TW_EVENT event{&message, MSG_NULL};
    EXPECT_EQ(toSource(DG_CONTROL, DAT_EVENT, MSG_PROCESSEVENT, &event), TWRC_NOTDSEVENT);

    EXPECT_EQ(toSource(DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS, &userInterface), TWRC_FAILURE);
    EXPECT_EQ(sourceStatus(), TWCC_SEQERROR);
    EXPECT_EQ(toManager(DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, &source), TWRC_SUCCESS);
}

TEST_F(ManagerPath, TheManagerMayOpenTheSourceAgainWithoutUnloadingIt)
{
    selectAndOpen();
    ASSERT_EQ(toManager(DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, &source), TWRC_SUCCESS);
    selectAndOpen();
    EXPECT_EQ(sourceStatus(), TWCC_SUCCESS) << "the new session starts clean";
    TW_CAPABILITY capability{ICAP_PIXELTYPE, TWON_DONTCARE16, nullptr};
    EXPECT_EQ(toSource(DG_CONTROL, DAT_CAPABILITY, MSG_GET, &capability), TWRC_FAILURE);
    EXPECT_EQ(sourceStatus(), TWCC_CAPUNSUPPORTED);
    EXPECT_EQ(toManager(DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, &source), TWRC_SUCCESS);
}
