#pragma once
// Building the installed-printer list while loading
// (CLoadingDlg::BuildListOfInstalledPrinters): every local printer and
// printer connection that can be opened, with ours, masked, default, server
// and the switches' filter decided here. The spooler is reached through
// PrinterSpooler: the program implements it over XSPOOL_Z, tests with a fake.

#include "InstalledPrinter.h"
#include "PrinterFilter.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The builder's error record: the last error, the call that failed, what
// went wrong and two named numbers. Raised and caught inside the builder.
struct QuickExceptionInfo {
    std::uint32_t lastError = 0;
    std::string function;
    std::string description;
    std::string firstName;
    std::uint64_t firstValue = 0;
    std::string secondName;
    std::uint64_t secondValue = 0;

    // "EnumPrinters: failed to enum printers (error 5, Bytes needed 84, bytes returned 0)"
    std::string Describe() const;
};

// What the builder reads of a printer at level 2.
struct PrinterLevel2Info {
    std::string name;
    std::string driver;
    std::string server;
    std::uint32_t attributes = 0;
};

constexpr std::uint32_t kPrinterAttributeDefault = 0x4;
// PRINTER_ACCESS_USE with READ_CONTROL.
constexpr std::uint32_t kPrinterUseRights = 0x20008;
constexpr std::uint32_t kRpcServerUnavailable = 1722;
constexpr std::uint32_t kMaskedBaseNameBytes = 256;

// The spooler calls of the builder, each as the Windows call of that name
// behaves. Enumeration is of local printers and connections.
class PrinterSpooler {
public:
    using Handle = std::uintptr_t;  // 0: none

    virtual ~PrinterSpooler() = default;

    // The first EnumPrinters call, with no buffer: the bytes needed.
    virtual std::uint32_t EnumPrintersNeeded(int level) = 0;
    // The thread's last error after the latest call.
    virtual std::uint32_t LastError() = 0;
    // Obtains the enumeration buffer of bytes; false when it cannot.
    virtual bool ObtainEnumerationBuffer(std::uint32_t bytes) = 0;
    // The second EnumPrinters call into that buffer: the entries' printer
    // names in order. returned is the entry count the spooler reports.
    virtual bool EnumeratePrinters(int level, std::uint32_t bytes, std::uint32_t& needed, std::uint32_t& returned,
                              std::vector<std::string>& names) = 0;
    // Entry "device" of section "windows" in the user profile.
    virtual std::string DefaultPrinterEntry() = 0;
    virtual std::string ComputerName() = 0;
    // 0 when the printer cannot be opened with these rights.
    virtual Handle OpenPrinterHandle(const std::string& name, std::uint32_t access) = 0;
    // GetPrinterData into a buffer of maxBytes; value gets the text up to
    // its first zero. False when the value cannot be read.
    virtual bool ReadPrinterData(Handle printer, const std::string& valueName, std::uint32_t maxBytes,
                                std::string* value) = 0;
    // GetPrinter at level 2 with no buffer: the bytes needed.
    virtual std::uint32_t GetPrinterLevel2Needed(Handle printer) = 0;
    virtual bool GetPrinterLevel2(Handle printer, std::uint32_t bytes, PrinterLevel2Info& info) = 0;
    virtual void ClosePrinter(Handle printer) = 0;
};

enum class PrinterListOutcome {
    Listed,               // printers holds every printer that could be opened
    SpoolerNotAnswering,  // error 1722 on the first call: text 206, loading ends
    Failed,               // a QuickExceptionInfo was raised: no printers
};

struct InstalledPrinterListResult {
    PrinterListOutcome outcome = PrinterListOutcome::Listed;
    int printersOpened = 0;  // the builder's result: 0 unless Listed
    std::optional<QuickExceptionInfo> failure;
};

// The size of one enumeration entry at level 4, 5 and 2 in the 32-bit
// program: 12, 20 and 84 bytes (the name is the first field at levels 4
// and 5 and the second at level 2).
std::uint32_t PrinterEnumerationEntrySize(int level);

// Replaces printers with the printers the spooler lists now, in enumeration
// order, each filtered by the switches.
InstalledPrinterListResult BuildListOfInstalledPrinters(PrinterSpooler& spooler, int platformClass,
                                                        const PrinterFilter& filter,
                                                        std::vector<InstalledPrinter>& printers);
