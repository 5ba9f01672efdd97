#include "InstalledPrinterList.h"

#include "SpoolerPrinterFacts.h"

std::string QuickExceptionInfo::Describe() const
{
    std::string text = function + ": " + description + " (error " + std::to_string(lastError);
    if (!firstName.empty())
        text += ", " + firstName + " " + std::to_string(firstValue);
    if (!secondName.empty())
        text += ", " + secondName + " " + std::to_string(secondValue);
    return text + ")";
}

std::uint32_t PrinterEnumerationEntrySize(int level)
{
    switch (level) {
    case 4:
        return 12;
    case 5:
        return 20;
    case 2:
        return 84;
    default:
        return 0;
    }
}

namespace {

// Closes the printer however its reading ends.
class OpenedPrinter {
public:
    OpenedPrinter(PrinterSpooler& spooler, PrinterSpooler::Handle handle) : spooler_(spooler), handle_(handle) {}
    ~OpenedPrinter() { spooler_.ClosePrinter(handle_); }
    OpenedPrinter(const OpenedPrinter&) = delete;
    OpenedPrinter& operator=(const OpenedPrinter&) = delete;
    PrinterSpooler::Handle Get() const { return handle_; }

private:
    PrinterSpooler& spooler_;
    PrinterSpooler::Handle handle_;
};

SpoolerPrinterFacts ReadFacts(PrinterSpooler& spooler, PrinterSpooler::Handle printer)
{
    SpoolerPrinterFacts facts;
    facts.hasOwnerData = spooler.ReadPrinterData(printer, "NorvaneDriver_Z", 4, nullptr);
    if (!spooler.ReadPrinterData(printer, "VenPrinter", kMaskedBaseNameBytes, &facts.maskedBaseName))
        facts.maskedBaseName.clear();

    const std::uint32_t needed = spooler.GetPrinterLevel2Needed(printer);
    PrinterLevel2Info info;
    if (needed == 0 || !spooler.GetPrinterLevel2(printer, needed, info))
        throw QuickExceptionInfo{spooler.LastError(), "GetPrinter", "unable to GetPrinter level 2 data", "hPrinter",
                                 printer, "Buffer", needed};
    facts.name = info.name;
    facts.driver = info.driver;
    facts.server = info.server;
    facts.defaultAttribute = (info.attributes & kPrinterAttributeDefault) != 0;
    return facts;
}

}  // namespace

InstalledPrinterListResult BuildListOfInstalledPrinters(PrinterSpooler& spooler, int platformClass,
                                                        const PrinterFilter& filter,
                                                        std::vector<InstalledPrinter>& printers)
{
    InstalledPrinterListResult result;
    printers.clear();
    const int level = PrinterEnumerationLevel(platformClass);
    try {
        const std::uint32_t needed = spooler.EnumPrintersNeeded(level);
        if (needed == 0) {
            if (spooler.LastError() == kRpcServerUnavailable)
                result.outcome = PrinterListOutcome::SpoolerNotAnswering;
            return result;
        }
        if (!spooler.ObtainEnumerationBuffer(needed))
            throw QuickExceptionInfo{spooler.LastError(), "_alloca", "FAILED to ALLOCA!!!", "Bytes needed", needed,
                                     "", 0};
        std::uint32_t secondNeeded = needed;
        std::uint32_t returned = 0;
        std::vector<std::string> names;
        if (!spooler.EnumeratePrinters(level, needed, secondNeeded, returned, names))
            throw QuickExceptionInfo{spooler.LastError(), "EnumPrinters", "failed to enum printers", "Bytes needed",
                                     secondNeeded, "bytes returned", returned};
        // The spooler's count is the number of entries in the buffer.
        if (names.size() > returned)
            names.resize(returned);

        const std::string defaultName = DefaultPrinterFromDeviceEntry(spooler.DefaultPrinterEntry());
        const std::string computerName = platformClass == 1 ? std::string() : spooler.ComputerName();
        for (const std::string& name : names) {
            PrinterSpooler::Handle handle = spooler.OpenPrinterHandle(name, kPrinterUseRights);
            if (handle == 0)
                continue;
            OpenedPrinter printer(spooler, handle);
            InstalledPrinter installed =
                MakeInstalledPrinter(ReadFacts(spooler, printer.Get()), defaultName, computerName, platformClass);
            ApplyPrinterFilter(filter, installed);
            printers.push_back(std::move(installed));
            ++result.printersOpened;
        }
    } catch (const QuickExceptionInfo& failure) {
        printers.clear();
        result.outcome = PrinterListOutcome::Failed;
        result.printersOpened = 0;
        result.failure = failure;
    }
    return result;
}
