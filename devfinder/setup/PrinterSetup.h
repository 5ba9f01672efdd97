#pragma once
// What the selector window asks of the printer-setup layer: the existing
// Standard TCP/IP ports and queues, creating a port and a queue for a found
// device, deleting a queue, and asking the user for names and decisions.
// The selector holds a pointer to each; a null PrinterSetup means that no
// setup layer is available (every tick is then taken back).

#include <cstdint>
#include <functional>
#include <string>
#include <utility>

#include "PortNameChecks.h"

enum class CreateOutcome {
    Created,        // the port and the queue exist
    Unavailable,    // the port monitor cannot be opened at all
    Refused,        // the port request failed
    PortElsewhere,  // a port of that name exists and does not print to the device
    QueueRefused,   // the queue could not be added; a port made for it is gone again
};

// `error` is the Windows or monitor error behind a refusal.
struct CreateResult {
    CreateResult(CreateOutcome outcome = CreateOutcome::Created, std::uint32_t error = 0, bool portRemoved = false)
        : outcome(outcome), error(error), portRemoved(portRemoved)
    {
    }
    CreateOutcome outcome;
    std::uint32_t error;
    bool portRemoved;  // QueueRefused: the port made for the queue was deleted again
};

enum class DeleteOutcome {
    Deleted,
    Declined,       // the user kept the queue and its waiting jobs
    NotOpened,      // no such queue, or no right to open it
    ForeignDriver,  // the queue uses another driver than the family's, and stays
    Refused,        // the spooler refused to delete it
};

struct DeleteResult {
    DeleteResult(DeleteOutcome outcome = DeleteOutcome::Deleted, std::uint32_t error = 0, std::string driverName = {})
        : outcome(outcome), error(error), driverName(std::move(driverName))
    {
    }
    DeleteOutcome outcome;
    std::uint32_t error;
    std::string driverName;  // ForeignDriver: the queue's driver
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
    // The first queue with the family's driver on a raw port that prints to the unit.
    virtual PortMatch FindPortForUnit(const std::string& unitName) = 0;
    // What the Port Name Editor must refuse for a new port to hostAddress.
    virtual NamesInUse NamesInUseFor(const std::string& hostAddress) = 0;
    virtual CreateResult CreatePrinterForDevice(const std::string& hostAddress, const std::string& portName,
                                                const std::string& printerName) = 0;
    // Deletes a queue of the family's driver. `confirmPurge` is asked first
    // when jobs are waiting, with their number; the queue stays unless it
    // answers true.
    virtual DeleteResult DeletePrinterQueue(const std::string& printerName,
                                            const std::function<bool(std::uint32_t jobs)>& confirmPurge) = 0;
};

// The Port Name Editor as the selector sees it: both names in and out,
// true when the user ended it with OK.
class PortNameEditor {
public:
    virtual ~PortNameEditor() = default;
    virtual bool Edit(std::string& portName, std::string& printerName, const NamesInUse& inUse) = 0;
};

// The user's part in printer setup beyond the two names: being told why
// something could not be done, and deciding what cannot be undone.
class SetupPrompts {
public:
    virtual ~SetupPrompts() = default;
    virtual void ShowRefusal(const std::string& text) = 0;
    // Yes or No; No is the default answer.
    virtual bool Confirm(const std::string& question) = 0;
};
