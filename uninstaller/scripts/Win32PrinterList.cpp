#include "Win32PrinterList.h"

#include <windows.h>
#include <winspool.h>

#include <new>

namespace {

constexpr DWORD kEnumerationFlags = PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS;

#if !defined(_WIN64)
static_assert(sizeof(PRINTER_INFO_4A) == 12 && sizeof(PRINTER_INFO_5A) == 20 && sizeof(PRINTER_INFO_2A) == 84,
              "the enumeration entry sizes of the 32-bit program");
#endif

HANDLE AsHandle(PrinterSpooler::Handle printer) { return reinterpret_cast<HANDLE>(printer); }

}  // namespace

std::uint32_t Win32PrinterSpooler::EnumPrintersNeeded(int level)
{
    DWORD needed = 0;
    DWORD count = 0;
    SetLastError(ERROR_SUCCESS);
    EnumPrintersA(kEnumerationFlags, nullptr, static_cast<DWORD>(level), nullptr, 0, &needed, &count);
    return needed;
}

std::uint32_t Win32PrinterSpooler::LastError() { return GetLastError(); }

bool Win32PrinterSpooler::ObtainEnumerationBuffer(std::uint32_t bytes)
{
    try {
        buffer_.assign(bytes, 0);
    } catch (const std::bad_alloc&) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return false;
    }
    return true;
}

bool Win32PrinterSpooler::EnumeratePrinters(int level, std::uint32_t bytes, std::uint32_t& needed, std::uint32_t& returned,
                                       std::vector<std::string>& names)
{
    DWORD neededBytes = 0;
    DWORD count = 0;
    if (bytes > buffer_.size()) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return false;
    }
    BOOL ok = EnumPrintersA(kEnumerationFlags, nullptr, static_cast<DWORD>(level), buffer_.data(), bytes,
                            &neededBytes, &count);
    needed = neededBytes;
    returned = count;
    if (!ok)
        return false;
    for (DWORD i = 0; i < count; ++i) {
        const char* name = nullptr;
        if (level == 4)
            name = reinterpret_cast<const PRINTER_INFO_4A*>(buffer_.data())[i].pPrinterName;
        else if (level == 5)
            name = reinterpret_cast<const PRINTER_INFO_5A*>(buffer_.data())[i].pPrinterName;
        else
            name = reinterpret_cast<const PRINTER_INFO_2A*>(buffer_.data())[i].pPrinterName;
        names.emplace_back(name ? name : "");
    }
    return true;
}

std::string Win32PrinterSpooler::DefaultPrinterEntry()
{
    char device[MAX_PATH] = "";
    GetProfileStringA("windows", "device", "", device, sizeof device);
    return device;
}

std::string Win32PrinterSpooler::ComputerName()
{
    char name[MAX_COMPUTERNAME_LENGTH + 1] = "";
    DWORD size = sizeof name;
    return GetComputerNameA(name, &size) ? std::string(name) : std::string();
}

PrinterSpooler::Handle Win32PrinterSpooler::OpenPrinterHandle(const std::string& name, std::uint32_t access)
{
    HANDLE printer = nullptr;
    PRINTER_DEFAULTSA defaults = {nullptr, nullptr, access};
    if (!OpenPrinterA(const_cast<char*>(name.c_str()), &printer, &defaults))
        return 0;
    return reinterpret_cast<Handle>(printer);
}

bool Win32PrinterSpooler::ReadPrinterData(Handle printer, const std::string& valueName, std::uint32_t maxBytes,
                                         std::string* value)
{
    std::string data(maxBytes, '\0');
    DWORD type = 0;
    DWORD needed = 0;
    DWORD status = GetPrinterDataA(AsHandle(printer), const_cast<char*>(valueName.c_str()), &type,
                                   reinterpret_cast<BYTE*>(data.data()), maxBytes, &needed);
    // A value larger than the buffer still exists.
    if (status != ERROR_SUCCESS && status != ERROR_MORE_DATA)
        return false;
    if (value)
        *value = status == ERROR_SUCCESS ? data.substr(0, data.find('\0')) : std::string();
    return true;
}

std::uint32_t Win32PrinterSpooler::GetPrinterLevel2Needed(Handle printer)
{
    DWORD needed = 0;
    GetPrinterA(AsHandle(printer), 2, nullptr, 0, &needed);
    return needed;
}

bool Win32PrinterSpooler::GetPrinterLevel2(Handle printer, std::uint32_t bytes, PrinterLevel2Info& info)
{
    std::vector<BYTE> buffer(bytes);
    DWORD needed = 0;
    if (!GetPrinterA(AsHandle(printer), 2, buffer.data(), bytes, &needed))
        return false;
    const auto* level2 = reinterpret_cast<const PRINTER_INFO_2A*>(buffer.data());
    info.name = level2->pPrinterName ? level2->pPrinterName : "";
    info.driver = level2->pDriverName ? level2->pDriverName : "";
    info.server = level2->pServerName ? level2->pServerName : "";
    info.attributes = level2->Attributes;
    return true;
}

void Win32PrinterSpooler::ClosePrinter(Handle printer) { ::ClosePrinter(AsHandle(printer)); }
