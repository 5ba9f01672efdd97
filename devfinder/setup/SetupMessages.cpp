#include "SetupMessages.h"

#include "SpoolerPrinterSetup.h"

namespace {

constexpr std::uint32_t kAccessDenied = 5;
constexpr std::uint32_t kInvalidLevel = 124;
constexpr std::uint32_t kAlreadyExists = 183;
constexpr std::uint32_t kUnknownPrinterDriver = 1797;
constexpr std::uint32_t kInvalidPrinterName = 1801;
constexpr std::uint32_t kPrinterAlreadyExists = 1802;

const char kRunAsAdministrator[] =
    "Windows allows this only to an administrator. Close the printer selector, start it again with "
    "\"Run as administrator\", and try once more.";

std::string Quoted(const std::string& name) { return "\"" + name + "\""; }

std::string ErrorNumber(std::uint32_t error) { return " (error " + std::to_string(error) + ")"; }

// The advice that fits the error, for a tick that could not be carried out.
std::string WhatToDoAfterATick(const CreateResult& result) {
    // The same error opening the monitor means only that it is not there.
    if (result.outcome == CreateOutcome::QueueRefused && result.error == kInvalidPrinterName)
        return "Windows does not take this printer name (it may be too long or hold a comma). Tick the printer "
               "again and choose another printer name.";
    switch (result.error) {
    case kAccessDenied:
        return kRunAsAdministrator;
    case kUnknownPrinterDriver:
        return "Install the printer driver " + Quoted(kDriverName) +
               " from the printer's driver package, then tick the printer again.";
    case kPrinterAlreadyExists:
        return "Tick the printer again and choose another printer name.";
    case kAlreadyExists:
        return "Tick the printer again and choose another port name.";
    case kInvalidLevel:
        return "This version of Windows keeps only the first 48 characters of a printer's host name. Give the "
               "printer a shorter name in your network's DNS and tick it again.";
    default:
        return "Tick the printer again. If it fails once more, start the printer selector with \"Run as "
               "administrator\".";
    }
}

}  // namespace

std::string CreateRefusalText(const CreateResult& result, const std::string& portName,
                              const std::string& printerName) {
    std::string what;
    switch (result.outcome) {
    case CreateOutcome::Created:
        return {};
    case CreateOutcome::Unavailable:
        what = "The Standard TCP/IP Port monitor cannot be opened" + ErrorNumber(result.error) +
               ", so no printer port can be made.";
        break;
    case CreateOutcome::Refused:
        what = "The Standard TCP/IP Port monitor did not create the port " + Quoted(portName) +
               ErrorNumber(result.error) + ".";
        break;
    case CreateOutcome::PortElsewhere:
        what = "A port named " + Quoted(portName) + " exists already and prints somewhere else, so it is not used.";
        break;
    case CreateOutcome::QueueRefused:
        what = "The printer " + Quoted(printerName) + " could not be created" + ErrorNumber(result.error) + ".";
        if (result.portRemoved) what += " The port made for it has been removed again.";
        break;
    }
    return what + "\n\n" + WhatToDoAfterATick(result);
}

std::string DeleteRefusalText(const DeleteResult& result, const std::string& printerName) {
    switch (result.outcome) {
    case DeleteOutcome::Deleted:
    case DeleteOutcome::Declined:
        return {};
    case DeleteOutcome::ForeignDriver:
        return "The printer " + Quoted(printerName) + " uses the driver " + Quoted(result.driverName) +
               ", not the one of this printer family, so the printer selector leaves it alone.\n\n"
               "Delete it in the Printers folder if you no longer need it.";
    case DeleteOutcome::NotOpened:
        if (result.error == kInvalidPrinterName)
            return "The printer " + Quoted(printerName) + " does not exist any more.";
        break;
    case DeleteOutcome::Refused:
        break;
    }
    return "The printer " + Quoted(printerName) + " could not be deleted" + ErrorNumber(result.error) + ".\n\n" +
           (result.error == kAccessDenied ? std::string(kRunAsAdministrator)
                                          : std::string("Click the box again, or delete the printer in the "
                                                        "Printers folder."));
}

std::string PurgeQuestion(const std::string& printerName, std::uint32_t jobs) {
    const std::string documents = jobs == 1 ? "1 document" : std::to_string(jobs) + " documents";
    return "The printer " + Quoted(printerName) + " still has " + documents +
           " waiting to print.\n\nDelete the printer and throw these documents away?";
}
