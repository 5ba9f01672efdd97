#pragma once
// A recording spooler for the port and queue tests: a few queues and
// Standard TCP/IP ports in memory, every call written to a log, every handle
// tracked so the tests can see that each one was closed. Port and queue
// names compare without regard to case, as the spooler's do.

#include "Spooler.h"
#include "XcvRequests.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

struct FakeTcpPort {
    std::uint32_t protocol = xcv::kProtocolRaw;
    std::u16string hostAddress;
    std::u16string ipAddress;
    std::uint32_t configStatus = xcv::kStatusSuccess;
};

class FakeSpooler : public Spooler {
public:
    static constexpr std::uint32_t kAccessDenied = 5;
    static constexpr std::uint32_t kUnknownPrinterDriver = 1797;
    static constexpr std::uint32_t kPrinterAlreadyExists = 1802;

    // The model.
    std::vector<LocalPrinter> printers;
    std::map<std::string, std::uint32_t> jobs;    // waiting jobs by queue
    std::map<std::string, FakeTcpPort> tcpPorts;  // ports the TCP/IP monitor answers for
    std::vector<std::string> localPorts{"LPT1:", "FILE:"};  // ports of other monitors
    bool monitorAvailable = true;
    std::uint32_t monitorError = kAccessDenied;  // why the monitor cannot be opened
    std::uint32_t addPortStatusOverride = 0;     // nonzero: the monitor answers AddPort with this
    std::uint32_t addPrinterError = 0;           // nonzero: AddPrinter fails with this
    std::uint32_t deleteError = 0;               // nonzero: OpenPrinter for deletion fails with this
    // Bytes each enumeration attempt needs, in order; the last one repeats.
    std::vector<std::uint32_t> enumerationNeeds{64};

    // What happened.
    std::vector<std::string> log;
    std::vector<std::size_t> enumerationBufferSizes;
    std::vector<unsigned char> lastConfigRequest;
    std::vector<unsigned char> lastAddPortRequest;
    std::vector<NewPrinterQueue> addedQueues;
    std::set<SpoolerHandle> openHandles;
    int handlesOpened = 0;

    bool EnumerateLocalPrinters(std::vector<unsigned char>& buffer, std::uint32_t& bytesNeeded,
                                std::uint32_t& printersReturned) override {
        enumerationBufferSizes.push_back(buffer.size());
        std::size_t attempt = enumerationBufferSizes.size() - 1;
        std::uint32_t need = enumerationNeeds[attempt < enumerationNeeds.size() ? attempt : enumerationNeeds.size() - 1];
        bytesNeeded = need;
        if (buffer.size() < need) return Fail(122);
        snapshot_ = printers;
        printersReturned = static_cast<std::uint32_t>(snapshot_.size());
        return true;
    }

    LocalPrinter PrinterAt(const std::vector<unsigned char>&, std::uint32_t index) const override {
        return snapshot_.at(index);
    }

    bool EnumeratePortNames(std::vector<std::string>& names) override {
        names = localPorts;
        for (const auto& port : tcpPorts) names.push_back(port.first);
        return true;
    }

    SpoolerHandle OpenWithoutDefaults(const std::string& name) override {
        log.push_back("OpenWithoutDefaults " + name);
        const std::string prefix = ",XcvPort ";
        if (name.rfind(prefix, 0) != 0) return 0;
        auto port = FindPort(name.substr(prefix.size()));
        if (port == tcpPorts.end()) return Fail(1796), 0;
        return Open(port->first);
    }

    SpoolerHandle OpenForAdministration(const std::string& name) override {
        log.push_back("OpenForAdministration " + name);
        if (name != ",XcvMonitor Standard TCP/IP Port" || !monitorAvailable) return Fail(monitorError), 0;
        return Open(kMonitor);
    }

    SpoolerHandle OpenForDeletion(const std::string& printerName) override {
        log.push_back("OpenForDeletion " + printerName);
        if (deleteError != 0) return Fail(deleteError), 0;
        if (FindPrinter(printerName) == printers.end()) return Fail(1801), 0;
        return Open(printerName);
    }

    bool Transceive(SpoolerHandle handle, const std::u16string& dataName, const std::vector<unsigned char>& input,
                    std::vector<unsigned char>& output, std::uint32_t& status) override {
        const std::string& target = targets_.at(handle);
        if (dataName == xcv::kGetConfigInfo) {
            log.push_back("GetConfigInfo " + target);
            lastConfigRequest = input;
            const FakeTcpPort& port = tcpPorts.at(target);
            status = port.configStatus;
            if (status == xcv::kStatusSuccess) output = PortAnswer(target, port, output.size());
            return true;
        }
        if (dataName == xcv::kDeletePort) {
            const std::string portName = Narrow(xcv::ReadText(input, xcv::kDeletePortNameField));
            log.push_back("DeletePort " + portName);
            auto port = FindPort(portName);
            status = port == tcpPorts.end() ? 1796 : xcv::kStatusSuccess;
            if (port != tcpPorts.end()) tcpPorts.erase(port);
            return true;
        }
        log.push_back("AddPort");
        lastAddPortRequest = input;
        const bool longHost = xcv::ReadUint32(input, xcv::kVersionOffset) == 2;
        const std::string portName = Narrow(xcv::ReadText(input, xcv::kPortNameField));
        const std::u16string host = xcv::ReadText(input, longHost ? xcv::kHostAddress2Field : xcv::kHostAddressField);
        if (addPortStatusOverride != 0) {
            status = addPortStatusOverride;
        } else if (FindPort(portName) != tcpPorts.end()) {
            status = xcv::kStatusAlreadyExists;
        } else {
            tcpPorts[portName] = FakeTcpPort{xcv::kProtocolRaw, host, u""};
            status = xcv::kStatusSuccess;
        }
        return true;
    }

    SpoolerHandle AddQueue(const NewPrinterQueue& queue) override {
        log.push_back("AddPrinter " + queue.printerName);
        addedQueues.push_back(queue);
        if (addPrinterError != 0) return Fail(addPrinterError), 0;
        if (FindPrinter(queue.printerName) != printers.end()) return Fail(kPrinterAlreadyExists), 0;
        printers.push_back(LocalPrinter{queue.printerName, queue.portName, queue.driverName});
        return Open(queue.printerName);
    }

    bool QueueState(SpoolerHandle handle, std::string& driverName, std::uint32_t& jobCount) override {
        auto printer = FindPrinter(targets_.at(handle));
        if (printer == printers.end()) return Fail(1801);
        driverName = printer->driverName;
        jobCount = jobs.count(printer->printerName) ? jobs.at(printer->printerName) : 0;
        return true;
    }

    bool PurgePrinter(SpoolerHandle handle) override {
        log.push_back("PurgePrinter " + targets_.at(handle));
        jobs.erase(targets_.at(handle));
        return true;
    }

    bool DeletePrinter(SpoolerHandle handle) override {
        log.push_back("DeletePrinter " + targets_.at(handle));
        auto printer = FindPrinter(targets_.at(handle));
        if (printer == printers.end()) return Fail(1801);
        printers.erase(printer);
        return true;
    }

    void ClosePrinter(SpoolerHandle handle) override {
        log.push_back("ClosePrinter " + targets_.at(handle));
        openHandles.erase(handle);
    }

    std::uint32_t LastError() const override { return lastError_; }

    bool HasQueue(const std::string& name) { return FindPrinter(name) != printers.end(); }

    // A test-only writer of a "GetConfigInfo" answer: PORT_DATA_1, whose
    // host field keeps the first 48 characters of a longer name.
    static std::vector<unsigned char> PortAnswer(const std::string& portName, const FakeTcpPort& port,
                                                 std::size_t size) {
        std::vector<unsigned char> answer(size, 0);
        auto put32 = [&](std::size_t offset, std::uint32_t value) {
            for (int i = 0; i < 4; ++i) answer[offset + i] = static_cast<unsigned char>(value >> (8 * i));
        };
        auto putText = [&](xcv::TextField field, const std::u16string& text) {
            for (std::size_t i = 0; i < text.size() && i + 1 < field.units; ++i) {
                answer[field.offset + 2 * i] = static_cast<unsigned char>(text[i] & 0xFF);
                answer[field.offset + 2 * i + 1] = static_cast<unsigned char>(text[i] >> 8);
            }
        };
        putText(xcv::kPortNameField, std::u16string(portName.begin(), portName.end()));
        put32(xcv::kVersionOffset, 1);
        put32(xcv::kProtocolOffset, port.protocol);
        put32(xcv::kSizeOffset, static_cast<std::uint32_t>(xcv::kPortDataSize));
        putText(xcv::kHostAddressField, port.hostAddress);
        putText(xcv::kIpAddressField, port.ipAddress);
        put32(xcv::kPortNumberOffset, 9100);
        return answer;
    }

private:
    static constexpr const char* kMonitor = "monitor";

    bool Fail(std::uint32_t error) {
        lastError_ = error;
        return false;
    }

    SpoolerHandle Open(const std::string& target) {
        SpoolerHandle handle = static_cast<SpoolerHandle>(++handlesOpened) * 16;
        targets_[handle] = target;
        openHandles.insert(handle);
        return handle;
    }

    static std::string Upper(std::string text) {
        for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        return text;
    }

    std::map<std::string, FakeTcpPort>::iterator FindPort(const std::string& name) {
        return std::find_if(tcpPorts.begin(), tcpPorts.end(),
                            [&](const auto& port) { return Upper(port.first) == Upper(name); });
    }

    std::vector<LocalPrinter>::iterator FindPrinter(const std::string& name) {
        return std::find_if(printers.begin(), printers.end(),
                            [&](const LocalPrinter& printer) { return Upper(printer.printerName) == Upper(name); });
    }

    static std::string Narrow(const std::u16string& text) { return std::string(text.begin(), text.end()); }

    std::vector<LocalPrinter> snapshot_;
    std::map<SpoolerHandle, std::string> targets_;
    std::uint32_t lastError_ = 0;
};
