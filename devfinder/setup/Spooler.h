#pragma once
// The few print-spooler calls that devfinder makes, as a narrow interface so
// the port and queue logic can be driven by a recording fake in tests.
// Texts are in the current ANSI code page unless the type says otherwise.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// Opaque spooler handle; 0 means "no handle".
using SpoolerHandle = std::uintptr_t;

struct LocalPrinter {
    LocalPrinter(std::string printerName = {}, std::string portName = {}, std::string driverName = {})
        : printerName(std::move(printerName)), portName(std::move(portName)), driverName(std::move(driverName))
    {
    }
    std::string printerName;
    std::string portName;  // a pooled queue lists its ports separated by commas
    std::string driverName;
};

// The fields of a new queue that are not left zero.
struct NewPrinterQueue {
    std::string printerName;
    std::string portName;
    std::string driverName;
    std::string printProcessor;
    std::string datatype;
};

class Spooler {
public:
    virtual ~Spooler() = default;

    // One level-2 enumeration of the local printers into `buffer` as it is
    // sized (empty: a size query). On failure `bytesNeeded` says how much to
    // allocate for the next attempt.
    virtual bool EnumerateLocalPrinters(std::vector<unsigned char>& buffer, std::uint32_t& bytesNeeded,
                                        std::uint32_t& printersReturned) = 0;
    // Entry `index` of a buffer filled by a successful enumeration.
    virtual LocalPrinter PrinterAt(const std::vector<unsigned char>& buffer, std::uint32_t index) const = 0;
    // The names of every port the spooler knows, of any monitor; false when
    // they cannot be listed.
    virtual bool EnumeratePortNames(std::vector<std::string>& names) = 0;

    // Opens a transceive name with no defaults.
    virtual SpoolerHandle OpenWithoutDefaults(const std::string& name) = 0;
    // Opens a transceive name with server-administration access.
    virtual SpoolerHandle OpenForAdministration(const std::string& name) = 0;
    // Opens a queue by name for deletion: datatype "RAW", a zeroed device mode, all printer access.
    virtual SpoolerHandle OpenForDeletion(const std::string& printerName) = 0;

    // The wide transceive call; `output` goes in zeroed at the answer's size
    // and comes back filled. `status` is the monitor's own status.
    virtual bool Transceive(SpoolerHandle handle, const std::u16string& dataName, const std::vector<unsigned char>& input,
                         std::vector<unsigned char>& output, std::uint32_t& status) = 0;

    // Adds a queue on the local machine; returns its handle (0 on failure).
    virtual SpoolerHandle AddQueue(const NewPrinterQueue& queue) = 0;
    // The driver of an open queue and the number of jobs waiting in it.
    virtual bool QueueState(SpoolerHandle handle, std::string& driverName, std::uint32_t& jobCount) = 0;
    virtual bool PurgePrinter(SpoolerHandle handle) = 0;
    virtual bool DeletePrinter(SpoolerHandle handle) = 0;
    virtual void ClosePrinter(SpoolerHandle handle) = 0;
    // The system's error code for the last call that failed.
    virtual std::uint32_t LastError() const = 0;
};

// Closes a spooler handle when the scope that opened it ends, on every path.
class ScopedSpoolerHandle {
public:
    ScopedSpoolerHandle(Spooler& spooler, SpoolerHandle handle) : spooler_(spooler), handle_(handle) {}
    ~ScopedSpoolerHandle() {
        if (handle_ != 0) spooler_.ClosePrinter(handle_);
    }
    ScopedSpoolerHandle(const ScopedSpoolerHandle&) = delete;
    ScopedSpoolerHandle& operator=(const ScopedSpoolerHandle&) = delete;
    SpoolerHandle get() const { return handle_; }
    explicit operator bool() const { return handle_ != 0; }

private:
    Spooler& spooler_;
    SpoolerHandle handle_;
};
