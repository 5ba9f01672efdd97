// A Standard TCP/IP Port monitor for the Wine test prefix, which has none.
// It answers the transceive requests a port-creating program sends
// ("AddPort" with PORT_DATA_1 or, for host names beyond 48 characters,
// PORT_DATA_2; "GetConfigInfo"; "DeletePort"), keeps its ports in the
// registry under the monitor's own key as a user's machine does, lists them
// to the spooler and sends raw jobs to the port's host and port number.
// Every request it receives is appended to the file named by the monitor
// key's "RequestLog" value, one tab-separated line each, for the tests.
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>
#include <winspool.h>
#include <winsplp.h>

#include <cstddef>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

namespace {

const wchar_t kMonitorName[] = L"Standard TCP/IP Port";
const wchar_t kMonitorKey[] = L"System\\CurrentControlSet\\Control\\Print\\Monitors\\Standard TCP/IP Port";
const wchar_t kPortsKey[] = L"System\\CurrentControlSet\\Control\\Print\\Monitors\\Standard TCP/IP Port\\Ports";

constexpr DWORD kProtocolRaw = 1;
constexpr DWORD kProtocolLpr = 2;

// The monitor's published transceive structures.
struct CONFIG_INFO_DATA_1 {
    BYTE Reserved[128];
    DWORD dwVersion;
};

struct PORT_DATA_1 {
    WCHAR sztPortName[64];
    DWORD dwVersion;
    DWORD dwProtocol;
    DWORD cbSize;
    DWORD dwReserved;
    WCHAR sztHostAddress[49];
    WCHAR sztSNMPCommunity[33];
    DWORD dwDoubleSpool;
    WCHAR sztQueue[33];
    WCHAR sztIPAddress[16];
    BYTE Reserved[540];
    DWORD dwPortNumber;
    DWORD dwSNMPEnabled;
    DWORD dwSNMPDevIndex;
};

struct PORT_DATA_2 {
    WCHAR sztPortName[64];
    DWORD dwVersion;
    DWORD dwProtocol;
    DWORD cbSize;
    DWORD dwReserved;
    WCHAR sztHostAddress[128];
    WCHAR sztSNMPCommunity[33];
    DWORD dwDoubleSpool;
    WCHAR sztQueue[33];
    BYTE Reserved[514];
    DWORD dwPortNumber;
    DWORD dwSNMPEnabled;
    DWORD dwSNMPDevIndex;
    DWORD dwPortMonitorMibIndex;
};

struct DELETE_PORT_DATA_1 {
    WCHAR psztPortName[64];
    BYTE Reserved[98];
    DWORD dwVersion;
    DWORD dwReserved;
};

static_assert(sizeof(CONFIG_INFO_DATA_1) == 132);
static_assert(sizeof(PORT_DATA_1) == 964);
static_assert(sizeof(PORT_DATA_2) == 1068);
static_assert(sizeof(DELETE_PORT_DATA_1) == 236);

// One port as the registry keeps it.
struct PortSettings {
    std::wstring name;
    DWORD version = 1;
    DWORD protocol = kProtocolRaw;
    std::wstring hostName;
    std::wstring ipAddress;
    DWORD portNumber = 9100;
    std::wstring snmpCommunity;
    DWORD snmpEnabled = 0;
    DWORD snmpIndex = 0;
    std::wstring queue;
    DWORD doubleSpool = 0;
};

struct XcvHandle {
    std::wstring object;  // empty for the monitor itself, else a port name
    ACCESS_MASK access;
};

struct PortHandle {
    PortSettings settings;
    std::wstring printerName;
    DWORD jobId = 0;
    SOCKET socket = INVALID_SOCKET;
};

CRITICAL_SECTION logLock;

std::string Utf8(const std::wstring& text)
{
    if (text.empty()) return {};
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                         nullptr);
    std::string out(size, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), out.data(), size, nullptr, nullptr);
    return out;
}

std::string Hex(const BYTE* data, DWORD size)
{
    static const char digits[] = "0123456789abcdef";
    std::string out;
    if (!data) return out;
    out.reserve(2 * size);
    for (DWORD i = 0; i < size; ++i) {
        out.push_back(digits[data[i] >> 4]);
        out.push_back(digits[data[i] & 15]);
    }
    return out;
}

std::wstring QueryText(HKEY key, const wchar_t* value)
{
    wchar_t buffer[1024] = {};
    DWORD size = sizeof buffer - sizeof(wchar_t);
    DWORD type = 0;
    if (RegQueryValueExW(key, value, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ))
        return {};
    return buffer;
}

DWORD QueryNumber(HKEY key, const wchar_t* value, DWORD fallback)
{
    DWORD number = 0;
    DWORD size = sizeof number;
    DWORD type = 0;
    if (RegQueryValueExW(key, value, nullptr, &type, reinterpret_cast<BYTE*>(&number), &size) != ERROR_SUCCESS ||
        type != REG_DWORD)
        return fallback;
    return number;
}

void SetText(HKEY key, const wchar_t* value, const std::wstring& text)
{
    RegSetValueExW(key, value, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

void SetNumber(HKEY key, const wchar_t* value, DWORD number)
{
    RegSetValueExW(key, value, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number);
}

// Appends one request line: the fields joined by tabs.
void Record(std::initializer_list<std::string> fields)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kMonitorKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return;
    const std::wstring path = QueryText(key, L"RequestLog");
    RegCloseKey(key);
    if (path.empty()) return;

    std::string line;
    for (const std::string& field : fields) {
        if (!line.empty()) line.push_back('\t');
        line += field;
    }
    line += "\r\n";
    EnterCriticalSection(&logLock);
    HANDLE file = CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
        CloseHandle(file);
    }
    LeaveCriticalSection(&logLock);
}

std::string Number(unsigned long value) { return std::to_string(value); }

// A text field of a request, which need not carry its terminator.
std::wstring FieldText(const WCHAR* field, std::size_t units)
{
    std::size_t length = 0;
    while (length < units && field[length] != 0) ++length;
    return std::wstring(field, length);
}

void CopyField(WCHAR* field, std::size_t units, const std::wstring& text)
{
    const std::size_t length = text.size() < units ? text.size() : units - 1;
    std::wmemcpy(field, text.c_str(), length);
    field[length] = 0;
}

bool IsValidPortName(const std::wstring& name)
{
    return !name.empty() && name.find_first_of(L"\\,") == std::wstring::npos;
}

bool LoadPort(const std::wstring& name, PortSettings& settings)
{
    if (!IsValidPortName(name)) return false;
    HKEY key = nullptr;
    const std::wstring path = std::wstring(kPortsKey) + L"\\" + name;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    settings.name = name;
    settings.version = QueryNumber(key, L"Version", 1);
    settings.protocol = QueryNumber(key, L"Protocol", kProtocolRaw);
    settings.hostName = QueryText(key, L"HostName");
    settings.ipAddress = QueryText(key, L"IPAddress");
    settings.portNumber = QueryNumber(key, L"PortNumber", 9100);
    settings.snmpCommunity = QueryText(key, L"SNMP Community");
    settings.snmpEnabled = QueryNumber(key, L"SNMP Enabled", 0);
    settings.snmpIndex = QueryNumber(key, L"SNMP Index", 0);
    settings.queue = QueryText(key, L"Queue");
    settings.doubleSpool = QueryNumber(key, L"Double Spool", 0);
    RegCloseKey(key);
    return true;
}

DWORD SavePort(const PortSettings& settings)
{
    HKEY key = nullptr;
    const std::wstring path = std::wstring(kPortsKey) + L"\\" + settings.name;
    LONG result = RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr);
    if (result != ERROR_SUCCESS) return static_cast<DWORD>(result);
    SetNumber(key, L"Version", settings.version);
    SetNumber(key, L"Protocol", settings.protocol);
    SetText(key, L"HostName", settings.hostName);
    SetText(key, L"IPAddress", settings.ipAddress);
    SetText(key, L"HWAddress", L"");
    SetNumber(key, L"PortNumber", settings.portNumber);
    SetText(key, L"SNMP Community", settings.snmpCommunity);
    SetNumber(key, L"SNMP Enabled", settings.snmpEnabled);
    SetNumber(key, L"SNMP Index", settings.snmpIndex);
    SetText(key, L"Queue", settings.queue);
    SetNumber(key, L"Double Spool", settings.doubleSpool);
    RegCloseKey(key);
    return ERROR_SUCCESS;
}

std::vector<std::wstring> PortNames()
{
    std::vector<std::wstring> names;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kPortsKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return names;
    wchar_t name[256];
    for (DWORD index = 0;; ++index) {
        DWORD length = 256;
        if (RegEnumKeyExW(key, index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        names.emplace_back(name, length);
    }
    RegCloseKey(key);
    return names;
}

// The settings of a new port from its request, a PORT_DATA_1 or a PORT_DATA_2.
template <typename PortData>
PortSettings SettingsOf(const PortData& data, std::size_t hostUnits)
{
    PortSettings settings;
    settings.name = FieldText(data.sztPortName, 64);
    settings.hostName = FieldText(data.sztHostAddress, hostUnits);
    settings.protocol = data.dwProtocol;
    settings.portNumber = data.dwPortNumber;
    settings.snmpCommunity = FieldText(data.sztSNMPCommunity, 33);
    settings.snmpEnabled = data.dwSNMPEnabled;
    settings.snmpIndex = data.dwSNMPDevIndex;
    settings.queue = FieldText(data.sztQueue, 33);
    settings.doubleSpool = data.dwDoubleSpool;
    return settings;
}

// "AddPort": a PORT_DATA_1 of version 1, or a PORT_DATA_2 of version 2, for
// a raw or LPR port. A port that already exists is left as it is and
// answered with ERROR_ALREADY_EXISTS.
DWORD AddPort(const XcvHandle& xcv, const BYTE* input, DWORD inputSize)
{
    if (!(xcv.access & SERVER_ACCESS_ADMINISTER)) return ERROR_ACCESS_DENIED;
    if (!input || inputSize < sizeof(PORT_DATA_1)) return ERROR_INVALID_PARAMETER;
    DWORD version = 0;
    std::memcpy(&version, input + offsetof(PORT_DATA_1, dwVersion), sizeof version);
    PortSettings settings;
    if (version == 1) {
        PORT_DATA_1 data;
        std::memcpy(&data, input, sizeof data);
        if (data.cbSize < sizeof(PORT_DATA_1)) return ERROR_INVALID_LEVEL;
        settings = SettingsOf(data, 49);
        settings.ipAddress = FieldText(data.sztIPAddress, 16);
    } else if (version == 2 && inputSize >= sizeof(PORT_DATA_2)) {
        PORT_DATA_2 data;
        std::memcpy(&data, input, sizeof data);
        if (data.cbSize < sizeof(PORT_DATA_2)) return ERROR_INVALID_LEVEL;
        settings = SettingsOf(data, 128);
    } else {
        return ERROR_INVALID_LEVEL;
    }
    if (settings.protocol != kProtocolRaw && settings.protocol != kProtocolLpr) return ERROR_INVALID_PARAMETER;
    if (!IsValidPortName(settings.name)) return ERROR_INVALID_PARAMETER;
    if (settings.hostName.empty() && settings.ipAddress.empty()) return ERROR_INVALID_PARAMETER;
    PortSettings existing;
    if (LoadPort(settings.name, existing)) return ERROR_ALREADY_EXISTS;
    return SavePort(settings);
}

// "GetConfigInfo" on a port's handle: the port's PORT_DATA_1.
DWORD GetConfigInfo(const XcvHandle& xcv, const BYTE* input, DWORD inputSize, BYTE* output, DWORD outputSize,
                    DWORD* needed)
{
    if (!input || inputSize < sizeof(CONFIG_INFO_DATA_1)) return ERROR_INVALID_PARAMETER;
    CONFIG_INFO_DATA_1 request;
    std::memcpy(&request, input, sizeof request);
    if (request.dwVersion != 1) return ERROR_INVALID_LEVEL;
    PortSettings settings;
    if (!LoadPort(xcv.object, settings)) return ERROR_INVALID_PARAMETER;
    *needed = sizeof(PORT_DATA_1);
    if (!output || outputSize < sizeof(PORT_DATA_1)) return ERROR_INSUFFICIENT_BUFFER;

    PORT_DATA_1 data{};
    CopyField(data.sztPortName, 64, settings.name);
    data.dwVersion = 1;
    data.dwProtocol = settings.protocol;
    data.cbSize = sizeof data;
    CopyField(data.sztHostAddress, 49, settings.hostName);
    CopyField(data.sztSNMPCommunity, 33, settings.snmpCommunity);
    data.dwDoubleSpool = settings.doubleSpool;
    CopyField(data.sztQueue, 33, settings.queue);
    CopyField(data.sztIPAddress, 16, settings.ipAddress);
    data.dwPortNumber = settings.portNumber;
    data.dwSNMPEnabled = settings.snmpEnabled;
    data.dwSNMPDevIndex = settings.snmpIndex;
    std::memcpy(output, &data, sizeof data);
    return ERROR_SUCCESS;
}

// "DeletePort": a DELETE_PORT_DATA_1 naming the port.
DWORD DeletePort(const XcvHandle& xcv, const BYTE* input, DWORD inputSize)
{
    if (!(xcv.access & SERVER_ACCESS_ADMINISTER)) return ERROR_ACCESS_DENIED;
    if (!input || inputSize < sizeof(DELETE_PORT_DATA_1)) return ERROR_INVALID_PARAMETER;
    DELETE_PORT_DATA_1 data;
    std::memcpy(&data, input, sizeof data);
    const std::wstring name = FieldText(data.psztPortName, 64);
    PortSettings settings;
    if (!LoadPort(name, settings)) return ERROR_UNKNOWN_PORT;
    HKEY ports = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kPortsKey, 0, KEY_ALL_ACCESS, &ports) != ERROR_SUCCESS)
        return ERROR_UNKNOWN_PORT;
    const LONG result = RegDeleteKeyW(ports, name.c_str());
    RegCloseKey(ports);
    return static_cast<DWORD>(result);
}

BOOL WINAPI EnumPorts(HANDLE, LPWSTR, DWORD level, LPBYTE ports, DWORD size, LPDWORD needed, LPDWORD returned)
{
    Record({"EnumPorts", Number(level)});
    if (level != 1 && level != 2) {
        SetLastError(ERROR_INVALID_LEVEL);
        return FALSE;
    }
    const std::vector<std::wstring> names = PortNames();
    static const wchar_t description[] = L"Standard TCP/IP Port";
    const DWORD entrySize = level == 1 ? sizeof(PORT_INFO_1W) : sizeof(PORT_INFO_2W);
    DWORD total = 0;
    for (const std::wstring& name : names) {
        total += entrySize + static_cast<DWORD>((name.size() + 1) * sizeof(wchar_t));
        if (level == 2) total += sizeof kMonitorName + sizeof description;
    }
    *needed = total;
    *returned = 0;
    if (!ports || size < total) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    // Entries from the start, their texts packed from the end.
    BYTE* textEnd = ports + size;
    const auto place = [&](const wchar_t* text, std::size_t units) {
        textEnd -= units * sizeof(wchar_t);
        std::memcpy(textEnd, text, units * sizeof(wchar_t));
        return reinterpret_cast<LPWSTR>(textEnd);
    };
    for (std::size_t i = 0; i < names.size(); ++i) {
        LPWSTR name = place(names[i].c_str(), names[i].size() + 1);
        if (level == 1) {
            reinterpret_cast<PORT_INFO_1W*>(ports)[i].pName = name;
        } else {
            PORT_INFO_2W& info = reinterpret_cast<PORT_INFO_2W*>(ports)[i];
            info.pPortName = name;
            info.pMonitorName = place(kMonitorName, sizeof kMonitorName / sizeof(wchar_t));
            info.pDescription = place(description, sizeof description / sizeof(wchar_t));
            info.fPortType = PORT_TYPE_WRITE | PORT_TYPE_NET_ATTACHED;
            info.Reserved = 0;
        }
    }
    *returned = static_cast<DWORD>(names.size());
    return TRUE;
}

BOOL WINAPI OpenPort(HANDLE, LPWSTR name, PHANDLE handle)
{
    const std::wstring portName = name ? name : L"";
    Record({"OpenPort", Utf8(portName)});
    PortSettings settings;
    if (!handle || !LoadPort(portName, settings)) {
        SetLastError(ERROR_UNKNOWN_PORT);
        return FALSE;
    }
    auto* port = new PortHandle;
    port->settings = settings;
    *handle = port;
    return TRUE;
}

bool Connect(PortHandle& port)
{
    static bool started = false;
    if (!started) {
        WSADATA data;
        if (WSAStartup(MAKEWORD(2, 2), &data) != 0) return false;
        started = true;
    }
    const std::string host = Utf8(port.settings.ipAddress.empty() ? port.settings.hostName : port.settings.ipAddress);
    const std::string service = Number(port.settings.portNumber);
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_protocol = IPPROTO_TCP;
    addrinfo* found = nullptr;
    if (getaddrinfo(host.c_str(), service.c_str(), &hints, &found) != 0) return false;
    for (addrinfo* address = found; address; address = address->ai_next) {
        SOCKET s = socket(address->ai_family, address->ai_socktype, address->ai_protocol);
        if (s == INVALID_SOCKET) continue;
        if (connect(s, address->ai_addr, static_cast<int>(address->ai_addrlen)) == 0) {
            port.socket = s;
            break;
        }
        closesocket(s);
    }
    freeaddrinfo(found);
    return port.socket != INVALID_SOCKET;
}

BOOL WINAPI StartDocPort(HANDLE handle, LPWSTR printerName, DWORD jobId, DWORD, LPBYTE)
{
    auto* port = static_cast<PortHandle*>(handle);
    if (!port) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    port->printerName = printerName ? printerName : L"";
    port->jobId = jobId;
    if (port->settings.protocol != kProtocolRaw) {
        Record({"StartDocPort", Utf8(port->settings.name), Utf8(port->printerName), Number(jobId), "lpr not supported"});
        SetLastError(ERROR_NOT_SUPPORTED);
        return FALSE;
    }
    const bool connected = port->socket != INVALID_SOCKET || Connect(*port);
    const std::string target = Utf8(port->settings.ipAddress.empty() ? port->settings.hostName : port->settings.ipAddress) +
                               ":" + Number(port->settings.portNumber);
    Record({"StartDocPort", Utf8(port->settings.name), Utf8(port->printerName), Number(jobId), target,
            connected ? "connected" : "unreachable"});
    if (!connected) {
        SetLastError(ERROR_NOT_READY);
        return FALSE;
    }
    return TRUE;
}

BOOL WINAPI WritePort(HANDLE handle, LPBYTE buffer, DWORD size, LPDWORD written)
{
    auto* port = static_cast<PortHandle*>(handle);
    if (written) *written = 0;
    if (!port || port->socket == INVALID_SOCKET) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    DWORD sent = 0;
    while (sent < size) {
        const int chunk = send(port->socket, reinterpret_cast<const char*>(buffer) + sent, static_cast<int>(size - sent), 0);
        if (chunk <= 0) break;
        sent += static_cast<DWORD>(chunk);
    }
    if (written) *written = sent;
    Record({"WritePort", Utf8(port->settings.name), Number(size), Number(sent)});
    if (sent < size) {
        SetLastError(ERROR_WRITE_FAULT);
        return FALSE;
    }
    return TRUE;
}

BOOL WINAPI ReadPort(HANDLE, LPBYTE, DWORD, LPDWORD read)
{
    if (read) *read = 0;
    SetLastError(ERROR_NOT_SUPPORTED);
    return FALSE;
}

void Disconnect(PortHandle& port)
{
    if (port.socket == INVALID_SOCKET) return;
    shutdown(port.socket, SD_SEND);
    closesocket(port.socket);
    port.socket = INVALID_SOCKET;
}

BOOL WINAPI EndDocPort(HANDLE handle)
{
    auto* port = static_cast<PortHandle*>(handle);
    if (!port) return FALSE;
    Record({"EndDocPort", Utf8(port->settings.name), Number(port->jobId)});
    Disconnect(*port);
    return TRUE;
}

BOOL WINAPI ClosePort(HANDLE handle)
{
    auto* port = static_cast<PortHandle*>(handle);
    if (!port) return FALSE;
    Record({"ClosePort", Utf8(port->settings.name)});
    Disconnect(*port);
    delete port;
    return TRUE;
}

BOOL WINAPI XcvOpenPort(HANDLE, LPCWSTR object, ACCESS_MASK access, PHANDLE handle)
{
    std::wstring name = object ? object : L"";
    // Windows opens the monitor itself with an empty object name; Wine's
    // spooler passes the monitor's own name instead.
    const bool monitorItself = name.empty() || name == kMonitorName;
    char mask[16];
    std::snprintf(mask, sizeof mask, "0x%08lx", static_cast<unsigned long>(access));
    Record({"XcvOpenPort", Utf8(name), mask});
    PortSettings settings;
    if (!handle || (!monitorItself && !LoadPort(name, settings))) {
        SetLastError(ERROR_UNKNOWN_PORT);
        return FALSE;
    }
    *handle = new XcvHandle{monitorItself ? std::wstring() : name, access};
    return TRUE;
}

DWORD WINAPI XcvDataPort(HANDLE handle, LPCWSTR dataName, PBYTE input, DWORD inputSize, PBYTE output,
                         DWORD outputSize, PDWORD needed)
{
    auto* xcv = static_cast<XcvHandle*>(handle);
    const std::wstring command = dataName ? dataName : L"";
    DWORD ignored = 0;
    if (!needed) needed = &ignored;
    *needed = 0;
    DWORD status = ERROR_INVALID_PARAMETER;
    if (!xcv) {
        status = ERROR_INVALID_HANDLE;
    } else if (command == L"AddPort") {
        status = xcv->object.empty() ? AddPort(*xcv, input, inputSize) : ERROR_INVALID_PARAMETER;
    } else if (command == L"DeletePort") {
        status = DeletePort(*xcv, input, inputSize);
    } else if (command == L"GetConfigInfo") {
        status = xcv->object.empty() ? ERROR_INVALID_PARAMETER
                                     : GetConfigInfo(*xcv, input, inputSize, output, outputSize, needed);
    }
    Record({"XcvDataPort", xcv ? Utf8(xcv->object) : std::string(), Utf8(command), Number(status),
            Hex(input, inputSize)});
    return status;
}

BOOL WINAPI XcvClosePort(HANDLE handle)
{
    auto* xcv = static_cast<XcvHandle*>(handle);
    if (!xcv) return FALSE;
    Record({"XcvClosePort", Utf8(xcv->object)});
    delete xcv;
    return TRUE;
}

VOID WINAPI Shutdown(HANDLE) { Record({"Shutdown"}); }

MONITOR2 monitor = [] {
    MONITOR2 m{};
    m.cbSize = sizeof m;
    m.pfnEnumPorts = EnumPorts;
    m.pfnOpenPort = OpenPort;
    m.pfnStartDocPort = StartDocPort;
    m.pfnWritePort = WritePort;
    m.pfnReadPort = ReadPort;
    m.pfnEndDocPort = EndDocPort;
    m.pfnClosePort = ClosePort;
    m.pfnXcvOpenPort = XcvOpenPort;
    m.pfnXcvDataPort = XcvDataPort;
    m.pfnXcvClosePort = XcvClosePort;
    m.pfnShutdown = Shutdown;
    return m;
}();

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) {
        DisableThreadLibraryCalls(instance);
        InitializeCriticalSection(&logLock);
    }
    return TRUE;
}

extern "C" __declspec(dllexport) LPMONITOR2 WINAPI InitializePrintMonitor2(PMONITORINIT init, PHANDLE monitorHandle)
{
    Record({"InitializePrintMonitor2", init && init->bLocal ? "local" : "remote"});
    if (!monitorHandle) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    *monitorHandle = reinterpret_cast<HANDLE>(&monitor);
    return &monitor;
}
