#pragma once
// The printer-setup layer over the spooler: which queues print to which
// Standard TCP/IP raw port address, creating a port and a queue for a found
// device, and deleting a queue again. Only queues with the family's driver
// are the selector's own: others are never ticked, changed or deleted.

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
    NamesInUse NamesInUseFor(const std::string& hostAddress) override;
    CreateResult CreatePrinterForDevice(const std::string& hostAddress, const std::string& portName,
                                        const std::string& printerName) override;
    DeleteResult DeletePrinterQueue(const std::string& printerName,
                                    const std::function<bool(std::uint32_t jobs)>& confirmPurge) override;

    // The queues on Standard TCP/IP raw ports, whatever their driver;
    // element k of each list describes the same queue.
    const std::vector<std::string>& PortAddresses() const { return portAddresses_; }
    const std::vector<std::string>& PortNames() const { return portNames_; }
    const std::vector<std::string>& PrinterNames() const { return printerNames_; }
    const std::vector<std::string>& DriverNames() const { return driverNames_; }

private:
    // The address a Standard TCP/IP raw port prints to; false for any other port.
    bool ReadRawPortAddress(const std::string& portName, std::string& address);
    // The port's address names the device known as unitName.
    bool AddressServes(const std::string& address, const std::string& unitName) const;
    bool IsFamilyDriver(const std::string& driverName) const;
    bool PortUsedByAQueue(const std::string& portName) const;

    Spooler& spooler_;
    const AnsiText& text_;
    std::vector<LocalPrinter> printers_;  // every local queue, from the last enumeration
    std::vector<std::string> portAddresses_;
    std::vector<std::string> portNames_;
    std::vector<std::string> printerNames_;
    std::vector<std::string> driverNames_;
};
