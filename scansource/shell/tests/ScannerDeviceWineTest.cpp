// The device shell against the scanner emulator: the real transport, mutex
// and lamp-warming dialog, with the entry layer's boxes recorded.
#include "StringIds.h"
#include "EscCommands.h"
#include "shell/LampWarmingWait_win.h"
#include "LiveWindow.h"
#include "ScanCancel.h"
#include "shell/ScannerDevice_win.h"
#include "SourceStubs_win.h"
#include "StreamFeeder.h"
#include "UsbTransport.h"
#include "shell/Localization.h"
#include "shell/windows/LampWarmingDialog.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <string>
#include <thread>

namespace {

const char kDialogTitle[] = "Vivaro 5320MF TWAIN";

std::string tempPath(const std::string& name)
{
    char folder[MAX_PATH];
    GetTempPathA(sizeof folder, folder);
    return std::string(folder) + name;
}

// A 100 dpi grey page, 850 x 200 pixels, level (x + y) mod 256.
std::string writePage()
{
    std::string path = tempPath("scanner_device_page.pgm");
    std::ofstream out(path, std::ios::binary);
    out << "P5\n850 200\n255\n";
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 850; ++x)
            out.put(static_cast<char>(x + y));
    return path;
}

std::string writeConfig(const std::string& name, const std::string& faults)
{
    std::string path = tempPath(name);
    std::ofstream out(path);
    out << "page = " << writePage() << "\n" << faults;
    return path;
}

void useEmulator(const std::string& setting)
{
    SetEnvironmentVariableA("ZVP4_EMULATOR", setting.empty() ? nullptr : setting.c_str());
    ASSERT_TRUE(reloadScannerDevice());
    recordedWarnings().clear();
    cancelRequested = 0;
}

bool warned(unsigned stringId)
{
    for (const ShownWarning& w : recordedWarnings())
        if (w.stringId == stringId && w.shown)
            return true;
    return false;
}

// Watches for the lamp-warming dialog from a second thread while the test's
// thread sits in the lock wait; optionally presses its Cancel button.
class LampDialogWatcher {
public:
    explicit LampDialogWatcher(bool pressCancel, const std::string& screenshot = {})
        : thread_([this, pressCancel, screenshot] {
              HWND dialog = wintest::WaitForTopWindow(kDialogTitle, GetCurrentProcessId(), 10000);
              if (!dialog)
                  return;
              seen = true;
              message = wintest::WindowText(GetDlgItem(dialog, IDC_WAIT_MESSAGE));
              if (!screenshot.empty()) {
                  wintest::LetWindowsSettle();
                  wintest::SaveWindowPng(dialog, screenshot);
              }
              if (pressCancel)
                  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                               reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDCANCEL)));
          })
    {
    }
    ~LampDialogWatcher() { join(); }
    void join()
    {
        if (thread_.joinable())
            thread_.join();
    }

    std::atomic<bool> seen{false};
    std::string message;

private:
    std::thread thread_;
};

}  // namespace

TEST(ScannerDeviceUnderWine, RealDeviceFilesFindNoScanner)
{
    useEmulator("");
    EXPECT_EQ(openScanner(), 101);
    EXPECT_EQ(closeScanner(), 1);
    EXPECT_EQ(checkScannerReachable(), 0);
    EXPECT_TRUE(warned(IDS_ERROR_CANT_OPEN_CHANNEL));
    closeScanner();
}

TEST(ScannerDeviceUnderWine, AnUnusableEmulatorSettingMeansNoScanner)
{
    useEmulator(tempPath("no_such_page.pgm"));
    EXPECT_EQ(openScanner(), 101);
    closeScanner();
}

TEST(ScannerDeviceUnderWine, ScansAPageThroughTheTransport)
{
    useEmulator(writePage());
    EXPECT_EQ(checkScannerReachable(), 1);
    ASSERT_EQ(openScanner(), 100);
    ASSERT_EQ(writeEscCommand(makeCommand(CMD_LOCK)), 0);
    ScanParameters p;
    p.pixelType = PIXEL_TYPE_GREY;
    p.left = 0;
    p.top = 0;
    p.right = 4800;
    p.bottom = 4800;
    DeviceResolution r = deviceResolution(100);
    DeviceFrame f = deviceFrame(p, r);
    EXPECT_EQ(writeEscCommand(colourModeCommand(p.pixelType)), 0);
    EXPECT_EQ(writeEscCommand(resolutionCommand(r)), 0);
    EXPECT_EQ(writeEscCommand(originCommand(f)), 0);
    EXPECT_EQ(writeEscCommand(sizeCommand(f)), 0);
    EXPECT_EQ(writeEscCommand(sourceCommand(true)), 0);
    EXPECT_EQ(writeEscCommand(brightnessContrastCommand(p)), 0);
    EXPECT_EQ(writeEscCommand(filterCommand(loadFilterSettings())), 0);
    ASSERT_EQ(USBWrite(makeCommand(CMD_START).data(), 8), 1000);

    std::vector<uint8_t> buffer(2048);
    std::vector<uint8_t> stream;
    int result = 0;
    for (;;) {
        int length = 0;
        result = readScanReply(&length, buffer.data());
        if (result != 100)
            break;
        stream.insert(stream.end(), buffer.begin(), buffer.begin() + length);
    }
    EXPECT_EQ(result, SCAN_REPLY_STATUS_OK);
    scancodec::FeedResult decoded = scancodec::decodeWhole(stream, 100, 100, 1);
    ASSERT_EQ(decoded.status, scancodec::DecodeLastRow);
    EXPECT_EQ(decoded.image[37 * 100 + 50], 87);
    EXPECT_EQ(writeEscCommand(makeCommand(CMD_UNLOCK)), 0);
    EXPECT_EQ(closeScanner(), 1);
}

TEST(ScannerDeviceUnderWine, SecondProcessIsToldTheScannerIsInUse)
{
    useEmulator(writePage());
    HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, "scanner-holder-ready");
    HANDLE release = CreateEventA(nullptr, TRUE, FALSE, "scanner-holder-release");
    wintest::RunningProgram holder;
    ASSERT_TRUE(holder.Start("scanner_holder.exe scanner-holder-ready scanner-holder-release"));
    ASSERT_EQ(WaitForSingleObject(ready, 20000), WAIT_OBJECT_0) << "the holder could not open the scanner";

    EXPECT_EQ(checkScannerReachable(), 0);
    EXPECT_TRUE(warned(IDS_ERROR_OTHER_APP_USING_SCANNER));
    EXPECT_EQ(closeScanner(), 1);  // balances the failed open
    EXPECT_EQ(openScanner(), 113);
    closeScanner();

    SetEvent(release);
    DWORD exitCode = 99;
    EXPECT_TRUE(holder.WaitForExit(20000, &exitCode));
    EXPECT_EQ(exitCode, 0u);
    EXPECT_EQ(openScanner(), 100);
    EXPECT_EQ(closeScanner(), 1);
    CloseHandle(ready);
    CloseHandle(release);
}

TEST(ScannerDeviceUnderWine, WarmingScannerShowsTheLampDialogUntilItLocks)
{
    useEmulator(writeConfig("scanner_warming.cfg", "warming = 2\n"));
    ASSERT_EQ(openScanner(), 100);
    DWORD start = GetTickCount();
    LockOutcome outcome;
    std::string message;
    bool seen = false;
    {
        LampDialogWatcher watcher(false, "screenshots/lamp_warming.png");
        outcome = lockScannerForScan(nullptr);
        watcher.join();
        seen = watcher.seen;
        message = watcher.message;
    }
    EXPECT_EQ(outcome, LockOutcome::locked);
    EXPECT_GE(GetTickCount() - start, 1500u);
    EXPECT_TRUE(seen);
    EXPECT_EQ(message, "The lamp is warming - scanning will begin soon.");
    EXPECT_EQ(cancelRequested, 0);
    EXPECT_EQ(FindWindowA(nullptr, kDialogTitle), nullptr) << "the dialog is gone once locked";
    EXPECT_EQ(writeEscCommand(makeCommand(CMD_UNLOCK)), 0);
    closeScanner();
}

TEST(ScannerDeviceUnderWine, CancelEndsTheLampWait)
{
    useEmulator(writeConfig("scanner_not_locked.cfg", "not-locked = 0\n"));
    ASSERT_EQ(openScanner(), 100);
    LockOutcome outcome;
    shellState().ansiMode = true;
    {
        LampDialogWatcher watcher(true);
        outcome = lockScannerForScan(nullptr);
        watcher.join();
        EXPECT_TRUE(watcher.seen);
        EXPECT_EQ(watcher.message, "The lamp is warming - scanning will begin soon") << "the ANSI template";
    }
    shellState().ansiMode = false;
    EXPECT_EQ(outcome, LockOutcome::cancelled);
    EXPECT_EQ(cancelRequested, 1);
    EXPECT_EQ(FindWindowA(nullptr, kDialogTitle), nullptr);
    cancelRequested = 0;
    closeScanner();
}

TEST(ScannerDeviceUnderWine, LockRefusedForAJamIsReported)
{
    useEmulator(writeConfig("scanner_jam.cfg", "jam = lock\n"));
    ASSERT_EQ(openScanner(), 100);
    EXPECT_EQ(lockScannerForScan(nullptr), LockOutcome::refusedJam);
    EXPECT_TRUE(warned(IDS_ERROR_ADF_JAM));
    EXPECT_EQ(cancelRequested, 1);
    cancelRequested = 0;
    closeScanner();
}

TEST(ScannerDeviceUnderWine, UsbInFillsTheReceiveRing)
{
    useEmulator(writePage());
    ASSERT_EQ(openScanner(), 100);
    uint8_t lock[8] = {0x1B, 0x53, 'L', 0, 0, 0, 0, 0};
    ASSERT_EQ(USBWrite(lock, 8), 1000);
    EXPECT_EQ(UsbIn(), 1);
    EXPECT_EQ(scannerDevice().transport.bufferedReceiveBytes(), 8u);
    uint8_t reply[8];
    ASSERT_EQ(USBRead(reply, 8), 1000);
    EXPECT_EQ(reply[3], 0);
    EXPECT_EQ(UsbIn(), 0) << "the device has nothing more to say";
    closeScanner();
}

TEST(ScannerDeviceUnderWine, WithoutTheDialogAPlainBoxStillOffersCancel)
{
    useEmulator(writeConfig("scanner_not_locked.cfg", "not-locked = 0\n"));
    ASSERT_EQ(openScanner(), 100);
    // An owner that is gone: the dialog cannot be created.
    HWND gone = CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    DestroyWindow(gone);
    // The test's resources carry no texts for the box: it has no caption.
    std::atomic<bool> found{false};
    std::thread watcher([&found] {
        for (int i = 0; i < 400 && !found; ++i) {
            HWND box = FindWindowA("#32770", "");
            found = box && GetDlgItem(box, IDOK) && GetDlgItem(box, IDCANCEL);
            if (found)
                PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
            else
                Sleep(25);
        }
    });
    LockOutcome outcome = lockScannerForScan(gone);
    watcher.join();
    EXPECT_TRUE(found);
    EXPECT_EQ(outcome, LockOutcome::cancelled);
    EXPECT_EQ(cancelRequested, 1);
    cancelRequested = 0;
    closeScanner();
}
