#include "Win32PrinterList.h"

#include "SpoolerPrinterFacts.h"

#include <windows.h>
#include <winspool.h>

namespace {

constexpr DWORD kRpcServerUnavailable = 1722;
// PRINTER_ACCESS_USE with READ_CONTROL: enough to read data and level 2.
constexpr DWORD kPrinterUseRights = 0x20008;
constexpr DWORD kMaskedBaseNameBytes = 256;

std::string FailureText(const char* function, const char* description, DWORD error)
{
    return std::string(function) + ": " + description + " (error " + std::to_string(error) + ")";
}

// The printer names of an enumeration buffer at the given level.
std::vector<std::string> NamesAt(int level, const BYTE* buffer, DWORD count)
{
    std::vector<std::string> names;
    for (DWORD i = 0; i < count; ++i) {
        const char* name = nullptr;
        if (level == 4)
            name = reinterpret_cast<const PRINTER_INFO_4A*>(buffer)[i].pPrinterName;
        else if (level == 5)
            name = reinterpret_cast<const PRINTER_INFO_5A*>(buffer)[i].pPrinterName;
        else
            name = reinterpret_cast<const PRINTER_INFO_2A*>(buffer)[i].pPrinterName;
        names.emplace_back(name ? name : "");
    }
    return names;
}

bool ReadPrinterData(HANDLE printer, const char* valueName, std::string* value, DWORD maxBytes)
{
    std::string buffer(maxBytes, '\0');
    DWORD type = 0;
    DWORD needed = 0;
    DWORD status = GetPrinterDataA(printer, const_cast<char*>(valueName), &type, reinterpret_cast<BYTE*>(buffer.data()),
                                   maxBytes, &needed);
    if (status != ERROR_SUCCESS && status != ERROR_MORE_DATA)
        return false;
    if (value && status == ERROR_SUCCESS) {
        buffer.resize(needed < maxBytes ? needed : maxBytes);
        *value = buffer.substr(0, buffer.find('\0'));
    }
    return true;
}

// Level-2 name, driver, server and attributes of an open printer.
bool ReadLevel2(HANDLE printer, SpoolerPrinterFacts& facts)
{
    DWORD needed = 0;
    GetPrinterA(printer, 2, nullptr, 0, &needed);
    if (needed == 0)
        return false;
    std::vector<BYTE> buffer(needed);
    if (!GetPrinterA(printer, 2, buffer.data(), needed, &needed))
        return false;
    const auto* info = reinterpret_cast<const PRINTER_INFO_2A*>(buffer.data());
    facts.name = info->pPrinterName ? info->pPrinterName : "";
    facts.driver = info->pDriverName ? info->pDriverName : "";
    facts.server = info->pServerName ? info->pServerName : "";
    facts.defaultAttribute = (info->Attributes & PRINTER_ATTRIBUTE_DEFAULT) != 0;
    return true;
}

std::string DefaultPrinterName()
{
    char device[MAX_PATH] = "";
    GetProfileStringA("windows", "device", "", device, sizeof device);
    return DefaultPrinterFromDeviceEntry(device);
}

std::string ComputerName(int platformClass)
{
    if (platformClass == 1)
        return {};
    char name[MAX_COMPUTERNAME_LENGTH + 1] = "";
    DWORD size = sizeof name;
    return GetComputerNameA(name, &size) ? std::string(name) : std::string();
}

}  // namespace

SpoolerPrinterList ListInstalledPrinters(int platformClass)
{
    SpoolerPrinterList list;
    const int level = PrinterEnumerationLevel(platformClass);
    const DWORD flags = PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS;
    DWORD needed = 0;
    DWORD count = 0;
    SetLastError(ERROR_SUCCESS);
    EnumPrintersA(flags, nullptr, static_cast<DWORD>(level), nullptr, 0, &needed, &count);
    if (needed == 0) {
        if (GetLastError() == kRpcServerUnavailable) {
            list.status = PrinterListStatus::SpoolerNotAnswering;
            list.failure = FailureText("EnumPrinters", "the spooler does not answer", kRpcServerUnavailable);
        }
        return list;
    }
    std::vector<BYTE> buffer(needed);
    if (!EnumPrintersA(flags, nullptr, static_cast<DWORD>(level), buffer.data(), needed, &needed, &count)) {
        list.status = PrinterListStatus::Failed;
        list.failure = FailureText("EnumPrinters", "failed to enum printers", GetLastError());
        return list;
    }

    const std::string defaultName = DefaultPrinterName();
    const std::string computerName = ComputerName(platformClass);
    for (const std::string& name : NamesAt(level, buffer.data(), count)) {
        HANDLE printer = nullptr;
        PRINTER_DEFAULTSA defaults = {nullptr, nullptr, kPrinterUseRights};
        if (!OpenPrinterA(const_cast<char*>(name.c_str()), &printer, &defaults))
            continue;
        SpoolerPrinterFacts facts;
        facts.hasOwnerData = ReadPrinterData(printer, "NorvaneDriver_Z", nullptr, 4);
        ReadPrinterData(printer, "VenPrinter", &facts.maskedBaseName, kMaskedBaseNameBytes);
        const bool level2Read = ReadLevel2(printer, facts);
        const DWORD error = GetLastError();
        ClosePrinter(printer);
        if (!level2Read) {
            // One unreadable printer spoils the list: the sequence starts over.
            list.status = PrinterListStatus::Failed;
            list.failure = FailureText("GetPrinter", "unable to GetPrinter level 2 data", error);
            list.printers.clear();
            return list;
        }
        list.printers.push_back(MakeInstalledPrinter(facts, defaultName, computerName, platformClass));
    }
    return list;
}
