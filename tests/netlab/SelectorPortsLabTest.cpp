// devfinder making real ports and queues, inside the network lab, with the
// test Standard TCP/IP Port monitor installed in the lab's prefix: a tick
// creates the port and the queue, a job sent to the queue reaches the
// printer's namespace, a clear tick deletes the queue and leaves the port.
// The cases build on each other and run in the order written.
//   VIVARO_NETLAB            set by the lab script
//   VIVARO_TCPMON_LOG        the monitor's request log
//   VIVARO_NETLAB_SINK       what the listener on 10.77.1.25:9100 received
//   VIVARO_NETLAB_SCREENSHOT where to save the window with a ticked row
#include <windows.h>
#include <winspool.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "LiveWindow.h"
#include "RemoteListView.h"
#include "XcvRequests.h"

namespace {

const char kTitle[] = "Arvel-Norvane Vivaro 5320MF network printer selector";
const char kDriverName[] = "ARVEL NORVANE Vivaro 5320MF";
// Another vendor's driver, which the lab installs beside the family's.
const char kOtherDriverName[] = "Orvion LaserPro 8";
constexpr int kListId = 2002;
constexpr int kRefreshId = 22;
constexpr int kPortField = 2011;
constexpr int kPrinterField = 2012;
constexpr DWORD kWindowTimeoutMs = 60000;

// The lab's device whose unit name is its address, and the one known by its NetBIOS name.
const char kDottedUnit[] = "10.77.1.25";
const char kNetbiosUnit[] = "PRN-NB";
const char kChosenPrinterName[] = "Lab printer 25";

std::string Environment(const char* name)
{
    char value[1024] = {};
    const DWORD length = GetEnvironmentVariableA(name, value, sizeof value);
    return length > 0 && length < sizeof value ? std::string(value, length) : std::string();
}

bool RunningUnderWine()
{
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs)
{
    for (DWORD waited = 0; waited < timeoutMs; waited += 100) {
        if (condition()) return true;
        Sleep(100);
    }
    return condition();
}

std::string ReadFileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// The monitor's request log: one line per request, fields split at tabs.
std::vector<std::vector<std::string>> MonitorRequests()
{
    std::vector<std::vector<std::string>> requests;
    std::istringstream lines(ReadFileBytes(Environment("VIVARO_TCPMON_LOG")));
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::vector<std::string> fields;
        std::size_t start = 0;
        for (std::size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1)
            fields.push_back(line.substr(start, tab - start));
        fields.push_back(line.substr(start));
        requests.push_back(fields);
    }
    return requests;
}

struct AddPortRequest {
    std::string status;
    std::string input;  // hex
};

// The "AddPort" requests sent to the monitor since `from` log lines.
std::vector<AddPortRequest> AddPortRequestsSince(std::size_t from)
{
    std::vector<AddPortRequest> found;
    const auto requests = MonitorRequests();
    for (std::size_t i = from; i < requests.size(); ++i) {
        const auto& r = requests[i];
        if (r.size() == 5 && r[0] == "XcvDataPort" && r[2] == "AddPort") found.push_back({r[3], r[4]});
    }
    return found;
}

std::string Hex(const std::vector<unsigned char>& bytes)
{
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (unsigned char byte : bytes) {
        out.push_back(digits[byte >> 4]);
        out.push_back(digits[byte & 15]);
    }
    return out;
}

// The request devfinder's own builder makes for a device's new raw port.
std::string ExpectedAddPort(const std::string& unitName)
{
    xcv::NewRawPort port;
    port.portName = std::u16string(unitName.begin(), unitName.end());
    port.hostAddress = port.portName;
    port.snmpCommunity = u"tarnix";
    port.portNumber = 9100;
    port.snmpDeviceIndex = 1;
    return Hex(xcv::BuildAddPortRequest(port));
}

struct Queue {
    std::string port;
    std::string driver;
    std::string printProcessor;
};

bool FindQueue(const std::string& printerName, Queue* queue = nullptr)
{
    DWORD needed = 0, returned = 0;
    EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 2, nullptr, 0, &needed, &returned);
    std::vector<BYTE> buffer(needed + 1);
    if (!EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 2, buffer.data(), needed, &needed, &returned)) return false;
    const auto* printers = reinterpret_cast<const PRINTER_INFO_2A*>(buffer.data());
    for (DWORD i = 0; i < returned; ++i) {
        if (printerName != printers[i].pPrinterName) continue;
        if (queue) {
            queue->port = printers[i].pPortName ? printers[i].pPortName : "";
            queue->driver = printers[i].pDriverName ? printers[i].pDriverName : "";
            queue->printProcessor = printers[i].pPrintProcessor ? printers[i].pPrintProcessor : "";
        }
        return true;
    }
    return false;
}

bool PortListed(const std::string& portName)
{
    DWORD needed = 0, returned = 0;
    EnumPortsA(nullptr, 2, nullptr, 0, &needed, &returned);
    std::vector<BYTE> buffer(needed + 1);
    if (!EnumPortsA(nullptr, 2, buffer.data(), needed, &needed, &returned)) return false;
    const auto* ports = reinterpret_cast<const PORT_INFO_2A*>(buffer.data());
    for (DWORD i = 0; i < returned; ++i) {
        if (portName == ports[i].pPortName) return std::string(ports[i].pMonitorName) == "Standard TCP/IP Port";
    }
    return false;
}

bool DriverInstalled(const std::string& driverName)
{
    DWORD needed = 0, returned = 0;
    EnumPrinterDriversA(nullptr, nullptr, 1, nullptr, 0, &needed, &returned);
    std::vector<BYTE> buffer(needed + 1);
    if (!EnumPrinterDriversA(nullptr, nullptr, 1, buffer.data(), needed, &needed, &returned)) return false;
    const auto* drivers = reinterpret_cast<const DRIVER_INFO_1A*>(buffer.data());
    for (DWORD i = 0; i < returned; ++i) {
        if (driverName == drivers[i].pName) return true;
    }
    return false;
}

// A value of a port as the monitor keeps it in the registry.
const std::string kPortsKey = "System\\CurrentControlSet\\Control\\Print\\Monitors\\Standard TCP/IP Port\\Ports\\";

std::string PortText(const std::string& portName, const char* value)
{
    char text[256] = {};
    DWORD size = sizeof text - 1;
    const std::string key = kPortsKey + portName;
    if (RegGetValueA(HKEY_LOCAL_MACHINE, key.c_str(), value, RRF_RT_REG_SZ, nullptr, text, &size) != ERROR_SUCCESS)
        return "<missing>";
    return text;
}

DWORD PortNumber(const std::string& portName, const char* value)
{
    DWORD number = 0xFFFFFFFF;
    DWORD size = sizeof number;
    const std::string key = kPortsKey + portName;
    RegGetValueA(HKEY_LOCAL_MACHINE, key.c_str(), value, RRF_RT_REG_DWORD, nullptr, &number, &size);
    return number;
}

// Wine difference: Wine's AddPrinter stores a queue added without a
// datatype with none at all, and its own spooler then cannot open it (the
// AddPrinter call itself fails after writing the queue). Windows takes the
// print processor's default, "RAW"; so does this.
void GiveQueueADatatypeUnderWine(const std::string& printerName)
{
    if (!RunningUnderWine()) return;
    HKEY key = nullptr;
    const std::string path = "System\\CurrentControlSet\\Control\\Print\\Printers\\" + printerName;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return;
    if (RegQueryValueExA(key, "Datatype", nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        RegSetValueExA(key, "Datatype", 0, REG_SZ, reinterpret_cast<const BYTE*>("RAW"), 4);
    RegCloseKey(key);
}

bool PrintRaw(const std::string& printerName, const std::string& bytes)
{
    HANDLE printer = nullptr;
    std::vector<char> name(printerName.begin(), printerName.end());
    name.push_back('\0');
    if (!OpenPrinterA(name.data(), &printer, nullptr)) return false;
    char document[] = "devfinder lab job";
    char datatype[] = "RAW";
    DOC_INFO_1A info{document, nullptr, datatype};
    DWORD written = 0;
    bool ok = StartDocPrinterA(printer, 1, reinterpret_cast<BYTE*>(&info)) != 0;
    ok = ok && WritePrinter(printer, const_cast<char*>(bytes.data()), static_cast<DWORD>(bytes.size()), &written) &&
         written == bytes.size();
    ok = EndDocPrinter(printer) && ok;
    ClosePrinter(printer);
    return ok;
}

// Adds a Standard TCP/IP port through the monitor, as another tool would.
DWORD AddTcpPort(const std::string& portName, const std::string& host, std::uint32_t protocol)
{
    char monitorName[] = ",XcvMonitor Standard TCP/IP Port";
    PRINTER_DEFAULTSA defaults{nullptr, nullptr, SERVER_ACCESS_ADMINISTER};
    HANDLE monitor = nullptr;
    if (!OpenPrinterA(monitorName, &monitor, &defaults)) return GetLastError();
    xcv::NewRawPort port;
    port.portName = std::u16string(portName.begin(), portName.end());
    port.hostAddress = std::u16string(host.begin(), host.end());
    port.portNumber = protocol == xcv::kProtocolLpr ? 515 : 9100;
    std::vector<unsigned char> request = xcv::BuildAddPortRequest(port);
    request[xcv::kProtocolOffset] = static_cast<unsigned char>(protocol);
    BYTE answer[xcv::kPortDataSize] = {};
    DWORD needed = 0, status = 0xFFFFFFFF;
    if (!XcvDataW(monitor, L"AddPort", request.data(), static_cast<DWORD>(request.size()), answer, sizeof answer,
                  &needed, &status))
        status = GetLastError();
    ClosePrinter(monitor);
    return status;
}

// Adds a queue, by default with the family's driver; Wine's AddPrinter
// writes the queue and then fails (see above), so only the enumeration tells.
void AddQueue(const std::string& printerName, const std::string& portName, const std::string& driverName = kDriverName)
{
    std::vector<char> printer(printerName.begin(), printerName.end()), port(portName.begin(), portName.end());
    std::vector<char> driver(driverName.begin(), driverName.end());
    printer.push_back('\0');
    port.push_back('\0');
    driver.push_back('\0');
    char processor[] = "WinPrint";
    PRINTER_INFO_2A info{};
    info.pPrinterName = printer.data();
    info.pPortName = port.data();
    info.pDriverName = driver.data();
    info.pPrintProcessor = processor;
    HANDLE added = AddPrinterA(nullptr, 2, reinterpret_cast<BYTE*>(&info));
    if (added) ClosePrinter(added);
}

class SelectorPortsInLab : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (Environment("VIVARO_NETLAB").empty() || Environment("VIVARO_TCPMON_LOG").empty()) {
            GTEST_SKIP() << "devfinder searches the network at start; it runs only inside the network lab, "
                            "with the test port monitor installed";
        }
        ASSERT_TRUE(program.Start("devfinder.exe"));
        window = wintest::WaitForTopWindow(kTitle, program.ProcessId(), kWindowTimeoutMs);
        ASSERT_NE(nullptr, window);
        list = GetDlgItem(window, kListId);
        ASSERT_NE(nullptr, list);
        SetForegroundWindow(window);
        WaitUntilSearchEnds();
        rows = std::make_unique<RemoteListView>(list, program.ProcessId());
        ASSERT_TRUE(rows->Ready());
    }

    void TearDown() override
    {
        rows.reset();
        if (window) {
            PostMessageA(window, WM_COMMAND, IDOK, 0);
            EXPECT_TRUE(program.WaitForExit(15000));
        }
    }

    void WaitUntilSearchEnds() const
    {
        Sleep(300);
        WaitFor([&] { return IsWindowEnabled(GetDlgItem(window, kRefreshId)) != FALSE; }, 20000);
    }

    int RowOf(const std::string& unitName) const
    {
        for (int row = 0; row < rows->Count(); ++row) {
            if (rows->Text(row, 1) == unitName) return row;
        }
        return -1;
    }

    void ClickTick(int row) const
    {
        const RECT cell = rows->CellRect(row, 0);
        const LPARAM point = MAKELPARAM(cell.right - 3, (cell.top + cell.bottom) / 2);
        PostMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, point);
        PostMessageA(list, WM_LBUTTONUP, 0, point);
    }

    // Ticks the device's row and answers the editor, optionally with a
    // printer name of the user's own; returns the editor's proposed names.
    std::pair<std::string, std::string> TickAndAccept(const std::string& unitName,
                                                      const std::string& printerName = {})
    {
        const int row = RowOf(unitName);
        EXPECT_GE(row, 0) << unitName << " is listed";
        if (row < 0) return {};
        ClickTick(row);
        HWND editor = wintest::WaitForTopWindow("Port Name Editor", program.ProcessId(), kWindowTimeoutMs);
        EXPECT_NE(nullptr, editor);
        if (!editor) return {};
        const auto controls = wintest::ReadControls(editor);
        const auto* port = wintest::FindControl(controls, kPortField);
        const auto* printer = wintest::FindControl(controls, kPrinterField);
        std::pair<std::string, std::string> proposed{port ? port->text : "", printer ? printer->text : ""};
        if (!printerName.empty()) SetWindowTextA(GetDlgItem(editor, kPrinterField), printerName.c_str());
        PostMessageA(editor, WM_COMMAND, IDOK, 0);
        WaitFor([&] { return !IsWindowVisible(editor); }, 10000);
        WaitUntilSearchEnds();
        return proposed;
    }

    wintest::RunningProgram program;
    HWND window = nullptr;
    HWND list = nullptr;
    std::unique_ptr<RemoteListView> rows;
};

TEST_F(SelectorPortsInLab, ATickCreatesTheDevicesPortAndQueueAndAJobReachesThePrinter)
{
    ASSERT_TRUE(DriverInstalled(kDriverName)) << "the lab installs a stand-in of the family's driver";
    const std::size_t logStart = MonitorRequests().size();
    const auto proposed = TickAndAccept(kDottedUnit, kChosenPrinterName);
    EXPECT_EQ(proposed.first, kDottedUnit) << "the editor proposes the unit name for the port";
    EXPECT_EQ(proposed.second, kDottedUnit) << "and for the printer";

    const auto added = AddPortRequestsSince(logStart);
    ASSERT_EQ(added.size(), 1u);
    EXPECT_EQ(added[0].status, "0");
    EXPECT_EQ(added[0].input, ExpectedAddPort(kDottedUnit))
        << "raw, port 9100, the device's address, byte for byte as devfinder's builder makes it";
    // What the monitor made of it, read with the monitor's own declaration of the structure.
    EXPECT_EQ(PortNumber(kDottedUnit, "Protocol"), 1u);
    EXPECT_EQ(PortNumber(kDottedUnit, "PortNumber"), 9100u);
    EXPECT_EQ(PortText(kDottedUnit, "HostName"), kDottedUnit);
    EXPECT_EQ(PortText(kDottedUnit, "IPAddress"), "");
    EXPECT_EQ(PortText(kDottedUnit, "SNMP Community"), "tarnix");
    EXPECT_EQ(PortNumber(kDottedUnit, "SNMP Index"), 1u);

    Queue queue;
    ASSERT_TRUE(FindQueue(kChosenPrinterName, &queue)) << "a queue under the name the user chose";
    EXPECT_EQ(queue.port, kDottedUnit);
    EXPECT_EQ(queue.driver, kDriverName);
    EXPECT_EQ(_stricmp(queue.printProcessor.c_str(), "WinPrint"), 0) << queue.printProcessor;

    const int row = RowOf(kDottedUnit);
    ASSERT_GE(row, 0);
    EXPECT_EQ(rows->Checkbox(row), 1) << "the search after creating finds the queue";
    EXPECT_EQ(rows->Text(row, 3), kDottedUnit);
    EXPECT_EQ(rows->Text(row, 4), kChosenPrinterName);
    const std::string screenshot = Environment("VIVARO_NETLAB_SCREENSHOT");
    if (!screenshot.empty()) {
        wintest::LetWindowsSettle(500);
        EXPECT_TRUE(wintest::SaveWindowPng(window, screenshot));
    }

    GiveQueueADatatypeUnderWine(kChosenPrinterName);
    const std::string sink = Environment("VIVARO_NETLAB_SINK");
    const std::string before = ReadFileBytes(sink);
    const std::string job = "\x1b%-12345X@PJL JOB NAME=\"devfinder lab\"\r\nraw bytes for 10.77.1.25\r\n\x1b%-12345X";
    ASSERT_TRUE(PrintRaw(kChosenPrinterName, job));
    EXPECT_TRUE(WaitFor([&] { return ReadFileBytes(sink) == before + job; }, 20000))
        << "the listener on 10.77.1.25:9100 received: " << ReadFileBytes(sink).substr(before.size());
}

TEST_F(SelectorPortsInLab, ASecondDeviceGetsAPortAndQueueOfItsOwn)
{
    const std::size_t logStart = MonitorRequests().size();
    const auto proposed = TickAndAccept(kNetbiosUnit);
    EXPECT_EQ(proposed.first, kNetbiosUnit);
    EXPECT_EQ(proposed.second, kNetbiosUnit);

    const auto added = AddPortRequestsSince(logStart);
    ASSERT_EQ(added.size(), 1u);
    EXPECT_EQ(added[0].status, "0") << "a new port, not the first device's";
    EXPECT_EQ(added[0].input, ExpectedAddPort(kNetbiosUnit));

    Queue second, first;
    ASSERT_TRUE(FindQueue(kNetbiosUnit, &second));
    EXPECT_EQ(second.port, kNetbiosUnit);
    ASSERT_TRUE(FindQueue(kChosenPrinterName, &first));
    EXPECT_EQ(first.port, kDottedUnit) << "the first queue keeps its own port";
    GiveQueueADatatypeUnderWine(kNetbiosUnit);

    const int secondRow = RowOf(kNetbiosUnit), firstRow = RowOf(kDottedUnit);
    ASSERT_GE(secondRow, 0);
    ASSERT_GE(firstRow, 0);
    EXPECT_EQ(rows->Checkbox(secondRow), 1);
    EXPECT_EQ(rows->Text(secondRow, 3), kNetbiosUnit);
    EXPECT_EQ(rows->Text(secondRow, 4), kNetbiosUnit);
    EXPECT_EQ(rows->Checkbox(firstRow), 1);
    EXPECT_EQ(rows->Text(firstRow, 4), kChosenPrinterName);
}

TEST_F(SelectorPortsInLab, ClearingATickDeletesTheQueueAndLeavesPortAndDriver)
{
    const int row = RowOf(kDottedUnit);
    ASSERT_GE(row, 0);
    ASSERT_EQ(rows->Checkbox(row), 1) << "devfinder finds the queue made before at start";
    const std::size_t logStart = MonitorRequests().size();
    ClickTick(row);
    EXPECT_EQ(nullptr, wintest::WaitForTopWindow("Port Name Editor", program.ProcessId(), 1500))
        << "deleting asks nothing";
    WaitUntilSearchEnds();
    WaitFor([&] { return !FindQueue(kChosenPrinterName); }, 5000);

    EXPECT_FALSE(FindQueue(kChosenPrinterName)) << "the queue is gone";
    EXPECT_TRUE(PortListed(kDottedUnit)) << "its Standard TCP/IP port stays";
    EXPECT_TRUE(DriverInstalled(kDriverName)) << "the family's driver stays";
    EXPECT_TRUE(FindQueue(kNetbiosUnit)) << "the other device's queue is untouched";
    EXPECT_TRUE(AddPortRequestsSince(logStart).empty());
    EXPECT_EQ(rows->Checkbox(row), 0);
    EXPECT_EQ(rows->Text(row, 3), "");
    EXPECT_EQ(rows->Text(row, 4), "");
}

// A queue of another vendor's driver on the device's address, named like
// its driver as Windows' own wizard names queues: it never ticks the row,
// and clearing the tick of the family's queue leaves it and its driver.
TEST_F(SelectorPortsInLab, AQueueOfAnotherDriverOnTheDevicesAddressSurvivesAnUntick)
{
    ASSERT_TRUE(DriverInstalled(kOtherDriverName)) << "the lab installs another vendor's driver too";
    ASSERT_EQ(AddTcpPort("IP_orvion_25", kDottedUnit, xcv::kProtocolRaw), 0u);
    AddQueue(kOtherDriverName, "IP_orvion_25", kOtherDriverName);
    GiveQueueADatatypeUnderWine(kOtherDriverName);
    ASSERT_TRUE(FindQueue(kOtherDriverName));

    PostMessageA(window, WM_COMMAND, kRefreshId, 0);
    WaitUntilSearchEnds();
    int row = RowOf(kDottedUnit);
    ASSERT_GE(row, 0);
    EXPECT_EQ(rows->Checkbox(row), 0) << "another vendor's queue is not the device's tick";
    EXPECT_EQ(rows->Text(row, 4), "");

    TickAndAccept(kDottedUnit);
    GiveQueueADatatypeUnderWine(kDottedUnit);
    row = RowOf(kDottedUnit);
    ASSERT_GE(row, 0);
    ASSERT_EQ(rows->Checkbox(row), 1);
    EXPECT_EQ(rows->Text(row, 4), kDottedUnit) << "the row shows the family's queue";

    ClickTick(row);
    WaitUntilSearchEnds();
    WaitFor([&] { return !FindQueue(kDottedUnit); }, 5000);
    EXPECT_FALSE(FindQueue(kDottedUnit)) << "the family's queue is deleted";
    EXPECT_TRUE(FindQueue(kOtherDriverName)) << "the other vendor's queue stays";
    EXPECT_TRUE(DriverInstalled(kOtherDriverName)) << "and so does its driver, named like the queue";
    row = RowOf(kDottedUnit);
    ASSERT_GE(row, 0);
    EXPECT_EQ(rows->Checkbox(row), 0);
}

TEST_F(SelectorPortsInLab, TickingAgainReusesThePortTheDeletedQueueLeft)
{
    ASSERT_TRUE(PortListed(kDottedUnit));
    const std::size_t logStart = MonitorRequests().size();
    TickAndAccept(kDottedUnit);

    const auto added = AddPortRequestsSince(logStart);
    ASSERT_EQ(added.size(), 1u);
    EXPECT_EQ(added[0].status, "183") << "the port exists already and is reused unchanged";
    Queue queue;
    ASSERT_TRUE(FindQueue(kDottedUnit, &queue)) << "a queue under the proposed name";
    EXPECT_EQ(queue.port, kDottedUnit);
    GiveQueueADatatypeUnderWine(kDottedUnit);
    const int row = RowOf(kDottedUnit);
    ASSERT_GE(row, 0);
    EXPECT_EQ(rows->Checkbox(row), 1);
    EXPECT_EQ(rows->Text(row, 4), kDottedUnit);
}

// Queues that print to a device's name some other way are not its queues:
// an LPR port of the same host, and a local port, which cannot even be
// opened for its configuration and must not end the enumeration.
TEST_F(SelectorPortsInLab, QueuesOnLprAndLocalPortsAreNotTakenForADevice)
{
    ASSERT_EQ(AddTcpPort("LPR_prn-lab", "prn-lab", xcv::kProtocolLpr), 0u);
    AddQueue("prn-lab over LPR", "LPR_prn-lab");
    AddQueue("Lab file queue", "FILE:");
    ASSERT_TRUE(FindQueue("prn-lab over LPR"));
    ASSERT_TRUE(FindQueue("Lab file queue"));

    PostMessageA(window, WM_COMMAND, kRefreshId, 0);
    WaitUntilSearchEnds();
    const int lprRow = RowOf("prn-lab"), netbiosRow = RowOf(kNetbiosUnit), dottedRow = RowOf(kDottedUnit);
    ASSERT_GE(lprRow, 0);
    ASSERT_GE(netbiosRow, 0);
    ASSERT_GE(dottedRow, 0);
    EXPECT_EQ(rows->Checkbox(lprRow), 0);
    EXPECT_EQ(rows->Text(lprRow, 4), "");
    EXPECT_EQ(rows->Checkbox(netbiosRow), 1) << "the raw queues are still found";
    EXPECT_EQ(rows->Checkbox(dottedRow), 1);
}

}  // namespace
