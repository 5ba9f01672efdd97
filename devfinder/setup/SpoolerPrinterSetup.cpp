#include "SpoolerPrinterSetup.h"

#include "XcvRequests.h"

namespace {

constexpr int kMaximumEnumerationAllocations = 4;
constexpr const char* kMonitorTransceiveName = ",XcvMonitor Standard TCP/IP Port";
constexpr const char* kPortTransceivePrefix = ",XcvPort ";
constexpr const char* kPrintProcessor = "WinPrint";
constexpr const char16_t* kSnmpCommunity = u"tarnix";
constexpr std::uint32_t kRawPortNumber = 9100;
constexpr std::uint32_t kSnmpDeviceIndex = 1;

}  // namespace

int SpoolerPrinterSetup::EnumerateTcpPorts() {
    portAddresses_.clear();
    portNames_.clear();
    printerNames_.clear();

    std::vector<unsigned char> buffer;
    std::uint32_t bytesNeeded = 0;
    std::uint32_t printersReturned = 0;
    bool enumerated = spooler_.EnumerateLocalPrinters(buffer, bytesNeeded, printersReturned);
    for (int allocation = 0; !enumerated && allocation < kMaximumEnumerationAllocations; ++allocation) {
        buffer.assign(bytesNeeded, 0);
        printersReturned = 0;
        enumerated = spooler_.EnumerateLocalPrinters(buffer, bytesNeeded, printersReturned);
    }
    if (!enumerated) return 0;

    for (std::uint32_t index = 0; index < printersReturned; ++index)
        AddQueueIfOnRawPort(spooler_.PrinterAt(buffer, index));
    return static_cast<int>(printersReturned);
}

void SpoolerPrinterSetup::AddQueueIfOnRawPort(const LocalPrinter& printer) {
    // Ports of other monitors, and pooled port lists, cannot be opened this way.
    ScopedSpoolerHandle port(spooler_, spooler_.OpenWithoutDefaults(kPortTransceivePrefix + printer.portName));
    if (!port) return;

    std::vector<unsigned char> answer(xcv::kPortDataSize, 0);
    std::uint32_t status = 0xFFFFFFFF;
    if (!spooler_.Transceive(port.get(), xcv::kGetConfigInfo, xcv::BuildConfigInfoRequest(), answer, status)) return;
    if (status != xcv::kStatusSuccess) return;
    xcv::PortConfiguration configuration = xcv::ReadPortConfiguration(answer);
    if (configuration.protocol != xcv::kProtocolRaw) return;

    const std::u16string& address =
        configuration.ipAddress.empty() ? configuration.hostAddress : configuration.ipAddress;
    if (address.empty()) return;

    portAddresses_.push_back(text_.Narrow(address));
    portNames_.push_back(printer.portName);
    printerNames_.push_back(printer.printerName);
}

PortMatch SpoolerPrinterSetup::FindPortForUnit(const std::string& unitName) {
    EnumerateTcpPorts();
    PortMatch match;
    const std::string wanted = text_.UpperCase(unitName);
    for (std::size_t k = 0; k < portAddresses_.size(); ++k) {
        if (text_.UpperCase(portAddresses_[k]) == wanted) {
            match.found = true;
            match.portName = portNames_[k];
            match.printerName = printerNames_[k];
            break;
        }
    }
    return match;
}

CreateOutcome SpoolerPrinterSetup::CreatePrinterForDevice(const std::string& hostAddress, const std::string& portName,
                                                          const std::string& printerName) {
    ScopedSpoolerHandle monitor(spooler_, spooler_.OpenForAdministration(kMonitorTransceiveName));
    if (!monitor) return CreateOutcome::Unavailable;

    xcv::NewRawPort port;
    port.portName = text_.Widen(portName);
    port.hostAddress = text_.Widen(hostAddress);
    port.snmpCommunity = kSnmpCommunity;
    port.portNumber = kRawPortNumber;
    port.snmpDeviceIndex = kSnmpDeviceIndex;
    std::vector<unsigned char> answer(xcv::kPortDataSize, 0);
    // The monitor's status decides; it starts as a failure so a call that
    // never reached the monitor cannot pass for success.
    std::uint32_t status = 0xFFFFFFFF;
    spooler_.Transceive(monitor.get(), xcv::kAddPort, xcv::BuildAddPortRequest(port), answer, status);
    // A port left behind by a deleted queue is reused as it is.
    if (status != xcv::kStatusSuccess && status != xcv::kStatusAlreadyExists) return CreateOutcome::Refused;

    NewPrinterQueue queue{printerName, portName, kDriverName, kPrintProcessor};
    // A queue that cannot be added (name taken, driver missing) shows up as
    // an unticked row in the next search; the port was made either way.
    ScopedSpoolerHandle added(spooler_, spooler_.AddQueue(queue));
    return CreateOutcome::Created;
}

bool SpoolerPrinterSetup::DeletePrinterQueue(const std::string& printerName) {
    ScopedSpoolerHandle printer(spooler_, spooler_.OpenForDeletion(printerName));
    if (!printer) return false;
    spooler_.PurgePrinter(printer.get());
    bool deleted = spooler_.DeletePrinter(printer.get());
    // A driver of the queue's own name is tidied away, but never the family's
    // driver: a queue the user named after it would otherwise take it along
    // and every later queue creation would fail.
    if (text_.UpperCase(printerName) != text_.UpperCase(kDriverName)) spooler_.DeleteDriver(printerName);
    return deleted;
}
