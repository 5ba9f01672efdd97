#pragma once
// The printer-setup layer over the spooler: which queues print to which
// Standard TCP/IP raw port address, creating a port and a queue for a found
// device, and deleting a queue again.

#include "AnsiText.h"
#include "PrinterSetup.h"
#include "Spooler.h"

#include <string>
#include <vector>

inline constexpr const char* kDriverName = "ARVEL NORVANE Vivaro 5320MF";

class SpoolerPrinterSetup : public PrinterSetup {
public:
    SpoolerPrinterSetup(Spooler& spooler, const AnsiText& text) : spooler_(spooler), text_(text) {}

    int EnumerateTcpPorts() override;
    PortMatch FindPortForUnit(const std::string& unitName) override;
    CreateOutcome CreatePrinterForDevice(const std::string& hostAddress, const std::string& portName,
                                         const std::string& printerName) override;
    bool DeletePrinterQueue(const std::string& printerName) override;
    const std::vector<std::string>& PortNames() const override { return portNames_; }
    const std::vector<std::string>& PrinterNames() const override { return printerNames_; }
    const std::vector<std::string>& PortAddresses() const { return portAddresses_; }

private:
    void AddQueueIfOnRawPort(const LocalPrinter& printer);

    Spooler& spooler_;
    const AnsiText& text_;
    // Element k of each list describes the same queue.
    std::vector<std::string> portAddresses_;
    std::vector<std::string> portNames_;
    std::vector<std::string> printerNames_;
};
