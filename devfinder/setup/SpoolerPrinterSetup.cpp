#include "SpoolerPrinterSetup.h"

#include <algorithm>

#include "XcvRequests.h"

namespace {

constexpr int kMaximumEnumerationAllocations = 4;
constexpr const char* kMonitorTransceiveName = ",XcvMonitor Standard TCP/IP Port";
constexpr const char* kPortTransceivePrefix = ",XcvPort ";
constexpr const char* kPrintProcessor = "WinPrint";
// What Windows gives a queue of WinPrint anyway; said outright so that a
// spooler without that default (Wine's) can still open the new queue.
constexpr const char* kDatatype = "RAW";
constexpr const char16_t* kSnmpCommunity = u"tarnix";
constexpr std::uint32_t kRawPortNumber = 9100;
constexpr std::uint32_t kSnmpDeviceIndex = 1;
constexpr std::uint32_t kNoStatus = 0xFFFFFFFF;
constexpr std::uint32_t kInvalidPrinterName = 1801;

std::vector<std::string> SplitPortList(const std::string& ports) {
    std::vector<std::string> names;
    std::size_t start = 0;
    for (std::size_t comma; (comma = ports.find(',', start)) != std::string::npos; start = comma + 1)
        names.push_back(ports.substr(start, comma - start));
    names.push_back(ports.substr(start));
    return names;
}

}  // namespace

int SpoolerPrinterSetup::EnumerateTcpPorts() {
    printers_.clear();
    portAddresses_.clear();
    portNames_.clear();
    printerNames_.clear();
    driverNames_.clear();

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

    for (std::uint32_t index = 0; index < printersReturned; ++index) {
        LocalPrinter printer = spooler_.PrinterAt(buffer, index);
        // Ports of other monitors, and pooled port lists, cannot be opened this way.
        std::string address;
        if (ReadRawPortAddress(printer.portName, address)) {
            portAddresses_.push_back(address);
            portNames_.push_back(printer.portName);
            printerNames_.push_back(printer.printerName);
            driverNames_.push_back(printer.driverName);
        }
        printers_.push_back(std::move(printer));
    }
    return static_cast<int>(printersReturned);
}

bool SpoolerPrinterSetup::ReadRawPortAddress(const std::string& portName, std::string& address) {
    ScopedSpoolerHandle port(spooler_, spooler_.OpenWithoutDefaults(kPortTransceivePrefix + portName));
    if (!port) return false;

    std::vector<unsigned char> answer(xcv::kPortDataSize, 0);
    std::uint32_t status = kNoStatus;
    if (!spooler_.Transceive(port.get(), xcv::kGetConfigInfo, xcv::BuildConfigInfoRequest(), answer, status))
        return false;
    if (status != xcv::kStatusSuccess) return false;
    xcv::PortConfiguration configuration = xcv::ReadPortConfiguration(answer);
    if (configuration.protocol != xcv::kProtocolRaw) return false;

    const std::u16string& wide = configuration.ipAddress.empty() ? configuration.hostAddress : configuration.ipAddress;
    if (wide.empty()) return false;
    address = text_.Narrow(wide);
    return true;
}

bool SpoolerPrinterSetup::AddressServes(const std::string& address, const std::string& unitName) const {
    const std::string wanted = text_.UpperCase(unitName);
    const std::string upper = text_.UpperCase(address);
    if (upper == wanted) return true;
    // PORT_DATA_1 answers with at most 48 characters of a longer host name:
    // a full field stands for the name it begins.
    const std::size_t fieldLength = xcv::kHostAddressField.units - 1;
    return text_.Widen(address).size() == fieldLength && text_.Widen(unitName).size() > fieldLength &&
           wanted.compare(0, upper.size(), upper) == 0;
}

bool SpoolerPrinterSetup::IsFamilyDriver(const std::string& driverName) const {
    return text_.UpperCase(driverName) == text_.UpperCase(kDriverName);
}

bool SpoolerPrinterSetup::PortUsedByAQueue(const std::string& portName) const {
    const std::string wanted = text_.UpperCase(portName);
    return std::any_of(printers_.begin(), printers_.end(), [&](const LocalPrinter& printer) {
        const auto ports = SplitPortList(printer.portName);
        return std::any_of(ports.begin(), ports.end(),
                           [&](const std::string& port) { return text_.UpperCase(port) == wanted; });
    });
}

PortMatch SpoolerPrinterSetup::FindPortForUnit(const std::string& unitName) {
    EnumerateTcpPorts();
    PortMatch match;
    for (std::size_t k = 0; k < portAddresses_.size(); ++k) {
        if (IsFamilyDriver(driverNames_[k]) && AddressServes(portAddresses_[k], unitName)) {
            match.found = true;
            match.portName = portNames_[k];
            match.printerName = printerNames_[k];
            break;
        }
    }
    return match;
}

NamesInUse SpoolerPrinterSetup::NamesInUseFor(const std::string& hostAddress) {
    EnumerateTcpPorts();
    NamesInUse inUse;
    for (const LocalPrinter& printer : printers_) {
        inUse.printers.push_back(printer.printerName);
        for (std::string& port : SplitPortList(printer.portName)) inUse.ports.push_back(std::move(port));
    }
    std::vector<std::string> allPorts;
    if (!spooler_.EnumeratePortNames(allPorts)) return inUse;
    for (const std::string& port : allPorts) {
        if (PortUsedByAQueue(port)) continue;
        // An unused raw port to this very device may be named again; any
        // other port would make the queue print somewhere else.
        std::string address;
        if (!ReadRawPortAddress(port, address) || !AddressServes(address, hostAddress)) inUse.ports.push_back(port);
    }
    return inUse;
}

CreateResult SpoolerPrinterSetup::CreatePrinterForDevice(const std::string& hostAddress, const std::string& portName,
                                                         const std::string& printerName) {
    ScopedSpoolerHandle monitor(spooler_, spooler_.OpenForAdministration(kMonitorTransceiveName));
    if (!monitor) return {CreateOutcome::Unavailable, spooler_.LastError()};

    xcv::NewRawPort port;
    port.portName = text_.Widen(portName);
    port.hostAddress = text_.Widen(hostAddress);
    port.snmpCommunity = kSnmpCommunity;
    port.portNumber = kRawPortNumber;
    port.snmpDeviceIndex = kSnmpDeviceIndex;
    std::vector<unsigned char> answer(xcv::kPortDataSize, 0);
    // The monitor's status decides; it starts as a failure so a call that
    // never reached the monitor cannot pass for success.
    std::uint32_t status = kNoStatus;
    if (!spooler_.Transceive(monitor.get(), xcv::kAddPort, xcv::BuildAddPortRequest(port), answer, status) &&
        status == kNoStatus)
        status = spooler_.LastError();
    if (status == xcv::kStatusAlreadyExists) {
        // A port left behind by a deleted queue is reused as it is, but only
        // when it prints to this device.
        std::string address;
        if (!ReadRawPortAddress(portName, address) || !AddressServes(address, hostAddress))
            return {CreateOutcome::PortElsewhere, status};
    } else if (status != xcv::kStatusSuccess) {
        return {CreateOutcome::Refused, status};
    }

    NewPrinterQueue queue{printerName, portName, kDriverName, kPrintProcessor, kDatatype};
    ScopedSpoolerHandle added(spooler_, spooler_.AddQueue(queue));
    if (added) return {CreateOutcome::Created};

    // Nothing half-made: a port made for this queue alone goes again.
    CreateResult result{CreateOutcome::QueueRefused, spooler_.LastError()};
    if (status == xcv::kStatusSuccess) {
        std::uint32_t deleted = kNoStatus;
        std::vector<unsigned char> none;
        spooler_.Transceive(monitor.get(), xcv::kDeletePort, xcv::BuildDeletePortRequest(port.portName), none,
                            deleted);
        result.portRemoved = deleted == xcv::kStatusSuccess;
    }
    return result;
}

DeleteResult SpoolerPrinterSetup::DeletePrinterQueue(const std::string& printerName,
                                                     const std::function<bool(std::uint32_t jobs)>& confirmPurge) {
    // An empty name would open the print server itself.
    if (printerName.empty()) return {DeleteOutcome::NotOpened, kInvalidPrinterName};
    ScopedSpoolerHandle printer(spooler_, spooler_.OpenForDeletion(printerName));
    if (!printer) return {DeleteOutcome::NotOpened, spooler_.LastError()};

    std::string driverName;
    std::uint32_t jobs = 0;
    if (!spooler_.QueueState(printer.get(), driverName, jobs)) return {DeleteOutcome::Refused, spooler_.LastError()};
    if (!IsFamilyDriver(driverName)) return {DeleteOutcome::ForeignDriver, 0, driverName};
    if (jobs > 0 && !(confirmPurge && confirmPurge(jobs))) return {DeleteOutcome::Declined};

    spooler_.PurgePrinter(printer.get());
    // No driver is deleted: devfinder installs none, and a driver named like
    // the queue (as Windows' own wizard names queues) belongs to others.
    if (!spooler_.DeletePrinter(printer.get())) return {DeleteOutcome::Refused, spooler_.LastError()};
    return {DeleteOutcome::Deleted};
}
