#include "shell/ScannerDevice_win.h"

#include "StringIds.h"
#include "shell/DeviceFilesChoice_win.h"
#include "EscCommands.h"
#include "UsbTransport.h"
#include "twain/DebugTrace.h"
#include "shell/MessageBoxes.h"
#include "shell/SettingsFilePath.h"
#include "shell/ShellState.h"

#include <windows.h>

#include <string>

void SourceNotices::trace(const char* text)
{
    DebugTrace(text);
}

void SourceNotices::showWarning(unsigned stringId, bool show)
{
    ShowWarning(nullptr, stringId, show ? TRUE : FALSE);
}

void SourceNotices::traceWarningValue(unsigned stringId, int value)
{
    ShowWarningFormatted(nullptr, stringId, value, FALSE);
}

std::string SourceNotices::systemErrorText(uint32_t errorCode)
{
    char* text = nullptr;
    DWORD length = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                      FORMAT_MESSAGE_IGNORE_INSERTS,
                                  nullptr, errorCode, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string result = length && text ? std::string(text, length) : std::to_string(errorCode);
    if (text)
        LocalFree(text);
    return result;
}

ScannerDevice::ScannerDevice(std::unique_ptr<DeviceFiles> deviceFiles)
    : files(std::move(deviceFiles)), transport(*files, mutexes), protocol(transport, notices)
{
}

ScannerDevice& scannerDevice()
{
    ScannerDeviceSlot& device = shellState().scanner;
    if (!device)
        device = ScannerDeviceSlot(new ScannerDevice(chooseDeviceFiles()), [](ScannerDevice* made) { delete made; });
    return *device;
}

bool reloadScannerDevice()
{
    ScannerDeviceSlot& device = shellState().scanner;
    if (device && device->transport.useCount() != 0)
        return false;
    device.reset();
    return true;
}

int openScanner() { return scannerDevice().transport.open(); }

int closeScanner() { return scannerDevice().transport.close(); }

int USBWrite(const uint8_t* data, uint32_t length) { return scannerDevice().transport.write(data, length); }

int USBRead(uint8_t* dst, uint32_t length) { return scannerDevice().transport.read(dst, length); }

int checkScannerReachable()
{
    int result = openScanner();
    if (result != SCAN_REPLY_SUCCESS) {
        ShowWarning(nullptr, result == SCAN_REPLY_IN_USE ? IDS_ERROR_OTHER_APP_USING_SCANNER : IDS_ERROR_CANT_OPEN_CHANNEL,
                    TRUE);
        return 0;
    }
    closeScanner();
    return 1;
}

extern "C" int WINAPI UsbIn()
{
    return scannerDevice().transport.usbIn();
}

int writeEscCommand(const CommandPacket& command) { return scannerDevice().protocol.writeEscCommand(command); }

int writeEscCommand(uint8_t d0, uint8_t d1, uint8_t d2, uint8_t d3, uint8_t d4, uint8_t d5, uint8_t d6, uint8_t d7)
{
    return writeEscCommand(CommandPacket{d0, d1, d2, d3, d4, d5, d6, d7});
}

int sendEscCommandNoReply(const CommandPacket& command)
{
    return scannerDevice().protocol.sendEscCommandNoReply(command);
}

int sendEscCommandNoReply(uint8_t d0, uint8_t d1, uint8_t d2, uint8_t d3, uint8_t d4, uint8_t d5, uint8_t d6,
                          uint8_t d7)
{
    return sendEscCommandNoReply(CommandPacket{d0, d1, d2, d3, d4, d5, d6, d7});
}

int readScanReply(int* payloadLength, uint8_t* buffer)
{
    return scannerDevice().protocol.readScanReply(payloadLength, buffer);
}

const CommandPacket& escCommandBuffer() { return scannerDevice().protocol.commandBuffer(); }

int queryFeederStatus(int reportCovers) { return scannerDevice().protocol.queryFeederStatus(reportCovers != 0); }

int isFeederMissing() { return scannerDevice().protocol.isFeederMissing(); }

FilterSettings loadFilterSettings()
{
    std::string path = settingsFilePath();
    return readFilterSettings([&path](const char* key, int defaultValue) {
        return static_cast<int>(GetPrivateProfileIntA("IDS_FILTER_SETTINGS", key, defaultValue, path.c_str()));
    });
}
