#pragma once
// A recording spooler for the port and queue tests: a few queues and
// Standard TCP/IP ports in memory, every call written to a log, every handle
// tracked so the tests can see that each one was closed.

#include "Spooler.h"
#include "XcvRequests.h"

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
    // The model.
    std::vector<LocalPrinter> printers;
    std::map<std::string, FakeTcpPort> tcpPorts;  // ports the TCP/IP monitor answers for
    bool monitorAvailable = true;
    std::uint32_t addPortStatusOverride = 0;  // nonzero: the monitor answers AddPort with this
    bool addPrinterFails = false;
    // Bytes each enumeration attempt needs, in order; the last one repeats.
    std::vector<std::uint32_t> enumerationNeeds{64};

    // What happened.
    std::vector<std::string> log;
    std::vector<std::size_t> enumerationBufferSizes;
    std::vector<unsigned char> lastConfigRequest;
    std::vector<unsigned char> lastAddPortRequest;
    std::vector<NewPrinterQueue> addedQueues;
    std::vector<std::string> deletedDrivers;
    std::set<SpoolerHandle> openHandles;
    int handlesOpened = 0;

    bool EnumerateLocalPrinters(std::vector<unsigned char>& buffer, std::uint32_t& bytesNeeded,
                                std::uint32_t& printersReturned) override {
        enumerationBufferSizes.push_back(buffer.size());
        std::size_t attempt = enumerationBufferSizes.size() - 1;
        std::uint32_t need = enumerationNeeds[attempt < enumerationNeeds.size() ? attempt : enumerationNeeds.size() - 1];
        bytesNeeded = need;
        if (buffer.size() < need) return false;
        snapshot_ = printers;
        printersReturned = static_cast<std::uint32_t>(snapshot_.size());
        return true;
    }

    LocalPrinter PrinterAt(const std::vector<unsigned char>&, std::uint32_t index) const override {
        return snapshot_.at(index);
    }

    SpoolerHandle OpenWithoutDefaults(const std::string& name) override {
        log.push_back("OpenWithoutDefaults " + name);
        const std::string prefix = ",XcvPort ";
        if (name.rfind(prefix, 0) != 0 || !tcpPorts.count(name.substr(prefix.size()))) return 0;
        return Open(name.substr(prefix.size()));
    }

    SpoolerHandle OpenForAdministration(const std::string& name) override {
        log.push_back("OpenForAdministration " + name);
        if (name != ",XcvMonitor Standard TCP/IP Port" || !monitorAvailable) return 0;
        return Open(kMonitor);
    }

    SpoolerHandle OpenForDeletion(const std::string& printerName) override {
        log.push_back("OpenForDeletion " + printerName);
        if (FindPrinter(printerName) == printers.end()) return 0;
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
        log.push_back("AddPort");
        lastAddPortRequest = input;
        std::string portName = Narrow(xcv::ReadText(input, xcv::kPortNameField));
        if (addPortStatusOverride != 0) {
            status = addPortStatusOverride;
        } else if (tcpPorts.count(portName)) {
            status = xcv::kStatusAlreadyExists;
        } else {
            tcpPorts[portName] = FakeTcpPort{xcv::kProtocolRaw, xcv::ReadText(input, xcv::kHostAddressField), u""};
            status = xcv::kStatusSuccess;
        }
        return true;
    }

    SpoolerHandle AddQueue(const NewPrinterQueue& queue) override {
        log.push_back("AddPrinter " + queue.printerName);
        addedQueues.push_back(queue);
        if (addPrinterFails || FindPrinter(queue.printerName) != printers.end()) return 0;
        printers.push_back(LocalPrinter{queue.printerName, queue.portName});
        return Open(queue.printerName);
    }

    bool PurgePrinter(SpoolerHandle handle) override {
        log.push_back("PurgePrinter " + targets_.at(handle));
        return true;
    }

    bool DeletePrinter(SpoolerHandle handle) override {
        log.push_back("DeletePrinter " + targets_.at(handle));
        auto printer = FindPrinter(targets_.at(handle));
        if (printer == printers.end()) return false;
        printers.erase(printer);
        return true;
    }

    bool DeleteDriver(const std::string& driverName) override {
        log.push_back("DeletePrinterDriver " + driverName);
        deletedDrivers.push_back(driverName);
        return false;
    }

    void ClosePrinter(SpoolerHandle handle) override {
        log.push_back("ClosePrinter " + targets_.at(handle));
        openHandles.erase(handle);
    }

    // A test-only writer of a "GetConfigInfo" answer.
    static std::vector<unsigned char> PortAnswer(const std::string& portName, const FakeTcpPort& port,
                                                 std::size_t size) {
        std::vector<unsigned char> answer(size, 0);
        auto put32 = [&](std::size_t offset, std::uint32_t value) {
            for (int i = 0; i < 4; ++i) answer[offset + i] = static_cast<unsigned char>(value >> (8 * i));
        };
        auto putText = [&](xcv::TextField field, const std::u16string& text) {
            for (std::size_t i = 0; i < text.size() && i < field.units; ++i) {
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

    SpoolerHandle Open(const std::string& target) {
        SpoolerHandle handle = static_cast<SpoolerHandle>(++handlesOpened) * 16;
        targets_[handle] = target;
        openHandles.insert(handle);
        return handle;
    }

    std::vector<LocalPrinter>::iterator FindPrinter(const std::string& name) {
        for (auto it = printers.begin(); it != printers.end(); ++it)
            if (it->printerName == name) return it;
        return printers.end();
    }

    static std::string Narrow(const std::u16string& text) { return std::string(text.begin(), text.end()); }

    std::vector<LocalPrinter> snapshot_;
    std::map<SpoolerHandle, std::string> targets_;
};
