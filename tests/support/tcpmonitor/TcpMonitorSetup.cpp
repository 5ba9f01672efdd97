// Installs the test Standard TCP/IP Port monitor into the current Wine
// prefix, with a stand-in of the family's printer driver for its queues and
// one of another vendor's driver, for the queues devfinder must leave alone.
//   tcpmonitor_setup install REQUEST_LOG
// The monitor DLL beside this program is copied into the system folder and
// registered with AddMonitor; the monitor appends the requests it receives
// to REQUEST_LOG. The stand-in driver is Wine's own PostScript driver under
// the family's driver name: queues only need a driver of that name, and
// raw jobs pass the driver by.
#include <windows.h>
#include <winspool.h>

#include <cstdio>
#include <string>

namespace {

const wchar_t kMonitorName[] = L"Standard TCP/IP Port";
const wchar_t kMonitorDll[] = L"vivtcpmon.dll";
const wchar_t kMonitorKey[] = L"System\\CurrentControlSet\\Control\\Print\\Monitors\\Standard TCP/IP Port";
const wchar_t kDriverName[] = L"ARVEL NORVANE Vivaro 5320MF";
const wchar_t kOtherDriverName[] = L"Orvion LaserPro 8";

std::wstring ProgramFolder()
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    return folder.substr(0, folder.find_last_of(L"\\/") + 1);
}

std::wstring SystemFolder()
{
    wchar_t path[MAX_PATH] = {};
    GetSystemDirectoryW(path, MAX_PATH);
    return std::wstring(path) + L"\\";
}

bool Fail(const char* what)
{
    std::fprintf(stderr, "tcpmonitor_setup: %s failed (error %lu)\n", what, GetLastError());
    return false;
}

bool InstallMonitor(const std::wstring& requestLog)
{
    if (!CopyFileW((ProgramFolder() + kMonitorDll).c_str(), (SystemFolder() + kMonitorDll).c_str(), FALSE))
        return Fail("copying the monitor into the system folder");
    wchar_t name[64], dll[64];
    lstrcpyW(name, kMonitorName);
    lstrcpyW(dll, kMonitorDll);
    MONITOR_INFO_2W info{name, nullptr, dll};
    if (!AddMonitorW(nullptr, 2, reinterpret_cast<BYTE*>(&info)) &&
        GetLastError() != ERROR_PRINT_MONITOR_ALREADY_INSTALLED)
        return Fail("AddMonitor");
    // Named once the monitor is registered: AddMonitor refuses a monitor
    // whose key exists already.
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kMonitorKey, 0, KEY_WRITE, &key) != ERROR_SUCCESS)
        return Fail("opening the monitor's key");
    RegSetValueExW(key, L"RequestLog", 0, REG_SZ, reinterpret_cast<const BYTE*>(requestLog.c_str()),
                   static_cast<DWORD>((requestLog.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
    return true;
}

bool InstallStandInDriver(const wchar_t* driverName, const wchar_t* descriptionName)
{
    wchar_t directory[MAX_PATH] = {};
    DWORD needed = 0;
    if (!GetPrinterDriverDirectoryW(nullptr, nullptr, 1, reinterpret_cast<BYTE*>(directory), sizeof directory, &needed))
        return Fail("GetPrinterDriverDirectory");
    // A minimal description file for the PostScript driver.
    const std::wstring dataFile = std::wstring(directory) + L"\\" + descriptionName;
    const char description[] =
        "*PPD-Adobe: \"4.3\"\r\n*FormatVersion: \"4.3\"\r\n*FileVersion: \"1.0\"\r\n*LanguageVersion: English\r\n"
        "*LanguageEncoding: ISOLatin1\r\n*PCFileName: \"VIV5320.PPD\"\r\n*Manufacturer: \"ARVEL NORVANE\"\r\n"
        "*Product: \"(Vivaro 5320MF)\"\r\n*ModelName: \"ARVEL NORVANE Vivaro 5320MF\"\r\n"
        "*NickName: \"ARVEL NORVANE Vivaro 5320MF\"\r\n*ColorDevice: False\r\n*DefaultPageSize: A4\r\n"
        "*PageSize A4/A4: \"<</PageSize[595 842]>>setpagedevice\"\r\n*DefaultResolution: 600dpi\r\n";
    HANDLE file = CreateFileW(dataFile.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return Fail("writing the description file");
    DWORD written = 0;
    WriteFile(file, description, sizeof description - 1, &written, nullptr);
    CloseHandle(file);

    wchar_t name[64], driver[] = L"wineps.drv", config[] = L"wineps.drv", datatype[] = L"RAW";
    lstrcpyW(name, driverName);
    std::wstring data = dataFile;
    DRIVER_INFO_3W info{};
    info.cVersion = 3;
    info.pName = name;
    info.pDriverPath = driver;
    info.pDataFile = data.data();
    info.pConfigFile = config;
    info.pDefaultDataType = datatype;
    if (!AddPrinterDriverExW(nullptr, 3, reinterpret_cast<BYTE*>(&info), APD_COPY_NEW_FILES | APD_COPY_FROM_DIRECTORY))
        return Fail("AddPrinterDriverEx");
    return true;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc != 3 || std::wstring(argv[1]) != L"install") {
        std::fprintf(stderr, "usage: tcpmonitor_setup install REQUEST_LOG\n");
        return 2;
    }
    return InstallMonitor(argv[2]) && InstallStandInDriver(kDriverName, L"vivaro5320.ppd") &&
                   InstallStandInDriver(kOtherDriverName, L"orvion8.ppd")
               ? 0
               : 1;
}
