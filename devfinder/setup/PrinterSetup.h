#pragma once
// What the selector window asks of the printer-setup layer: the existing
// Standard TCP/IP ports and queues, creating a port and a queue for a found
// device, deleting a queue, and asking the user for the two names.
// The selector holds a pointer to each; a null PrinterSetup means that no
// setup layer is available (every tick is then taken back).

#include <string>
#include <vector>

enum class CreateOutcome {
    Created,      // the port request was accepted (the queue may still have failed)
    Refused,      // the port request failed
    Unavailable,  // the port monitor cannot be opened at all
};

struct PortMatch {
    bool found = false;
    std::string portName;
    std::string printerName;
};

class PrinterSetup {
public:
    virtual ~PrinterSetup() = default;
    // Rebuilds the port lists; returns the number of local printers enumerated.
    virtual int EnumerateTcpPorts() = 0;
    virtual PortMatch FindPortForUnit(const std::string& unitName) = 0;
    virtual CreateOutcome CreatePrinterForDevice(const std::string& hostAddress, const std::string& portName,
                                                 const std::string& printerName) = 0;
    virtual bool DeletePrinterQueue(const std::string& printerName) = 0;
    virtual const std::vector<std::string>& PortNames() const = 0;
    virtual const std::vector<std::string>& PrinterNames() const = 0;
};

// The Port Name Editor as the selector sees it: both names in and out,
// true when the user ended it with OK.
class PortNameEditor {
public:
    virtual ~PortNameEditor() = default;
    virtual bool Edit(std::string& portName, std::string& printerName, const std::vector<std::string>& portNamesInUse,
                      const std::vector<std::string>& printerNamesInUse) = 0;
};
