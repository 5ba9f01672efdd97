// The data source finding the emulated scanner when the application
// enables it, and telling the user when another program holds it.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "LiveWindow.h"
#include "TwainTestSupport.h"

using namespace twaintest;

namespace {

const char kBoxCaption[] = "Vivaro 5310MF Scan";

class SourceEnable : public LoadedSourceTest {
protected:
    void SetUp() override
    {
        prepareWindowsFolder();
        SetEnvironmentVariableA("ZVP4_EMULATOR", writePlainPage("source_enable_page.pgm", '\x80').c_str());
        load();
        identity.Id = 5;
        ASSERT_EQ(call(DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, &identity), TWRC_SUCCESS);
    }

    void TearDown() override
    {
        LoadedSourceTest::TearDown();
        SetEnvironmentVariableA("ZVP4_EMULATOR", nullptr);
    }

    TW_UINT16 enable()
    {
        TW_USERINTERFACE userInterface{FALSE, FALSE, nullptr};
        return call(DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS, &userInterface);
    }
};

}  // namespace

TEST_F(SourceEnable, EnableFindsTheEmulatedScanner)
{
    EXPECT_EQ(enable(), TWRC_SUCCESS);
    EXPECT_EQ(status(), TWCC_SUCCESS);
    EXPECT_EQ(FindWindowA("#32770", kBoxCaption), nullptr) << "no complaint";
}

TEST_F(SourceEnable, AnotherProcessHoldingTheScannerIsReportedAsInUse)
{
    HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, "source-enable-holder-ready");
    HANDLE release = CreateEventA(nullptr, TRUE, FALSE, "source-enable-holder-release");
    wintest::RunningProgram holder;
    ASSERT_TRUE(holder.Start("scanner_holder.exe source-enable-holder-ready source-enable-holder-release"));
    ASSERT_EQ(WaitForSingleObject(ready, 20000), WAIT_OBJECT_0) << "the holder could not open the scanner";

    {
        MessageBoxAnswerer box(kBoxCaption);
        EXPECT_EQ(enable(), TWRC_FAILURE);
        EXPECT_EQ(box.text(), "Another application is using the scanner. Try again when it has finished.");
    }
    EXPECT_EQ(status(), TWCC_CHECKDEVICEONLINE);

    SetEvent(release);
    DWORD exitCode = 99;
    EXPECT_TRUE(holder.WaitForExit(20000, &exitCode));
    EXPECT_EQ(exitCode, 0u);
    EXPECT_EQ(enable(), TWRC_SUCCESS) << "the scanner is free again";
    CloseHandle(ready);
    CloseHandle(release);
}
