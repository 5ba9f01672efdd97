#include "Win32Spooler.h"

#include <windows.h>
#include <winspool.h>

#include "TcpXcvStructures.h"

static_assert(sizeof(wchar_t) == sizeof(char16_t), "the transceive texts are UTF-16");

namespace {

// The spooler's ANSI calls take writable strings; these copies keep the callers' texts untouched.
std::vector<char> Writable(const std::string& text) { return std::vector<char>(text.c_str(), text.c_str() + text.size() + 1); }

HANDLE ToHandle(SpoolerHandle handle) { return reinterpret_cast<HANDLE>(handle); }
SpoolerHandle FromHandle(HANDLE handle) { return reinterpret_cast<SpoolerHandle>(handle); }

std::string TextOrEmpty(const char* text) { return text ? std::string(text) : std::string(); }

SpoolerHandle Open(const std::string& name, PRINTER_DEFAULTSA* defaults) {
    std::vector<char> writableName = Writable(name);
    HANDLE handle = nullptr;
    if (!OpenPrinterA(writableName.data(), &handle, defaults)) return 0;
    return FromHandle(handle);
}

}  // namespace

bool Win32Spooler::EnumerateLocalPrinters(std::vector<unsigned char>& buffer, std::uint32_t& bytesNeeded,
                                          std::uint32_t& printersReturned) {
    DWORD needed = 0;
    DWORD returned = 0;
    BOOL ok = EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 2, buffer.empty() ? nullptr : buffer.data(),
                            static_cast<DWORD>(buffer.size()), &needed, &returned);
    bytesNeeded = needed;
    printersReturned = ok ? returned : 0;
    return ok != FALSE;
}

LocalPrinter Win32Spooler::PrinterAt(const std::vector<unsigned char>& buffer, std::uint32_t index) const {
    // A count that does not fit the buffer is not trusted beyond the buffer's end.
    if ((static_cast<std::size_t>(index) + 1) * sizeof(PRINTER_INFO_2A) > buffer.size()) return {};
    const auto* printers = reinterpret_cast<const PRINTER_INFO_2A*>(buffer.data());
    return LocalPrinter{TextOrEmpty(printers[index].pPrinterName), TextOrEmpty(printers[index].pPortName)};
}

SpoolerHandle Win32Spooler::OpenWithoutDefaults(const std::string& name) { return Open(name, nullptr); }

SpoolerHandle Win32Spooler::OpenForAdministration(const std::string& name) {
    PRINTER_DEFAULTSA defaults{nullptr, nullptr, SERVER_ACCESS_ADMINISTER};
    return Open(name, &defaults);
}

SpoolerHandle Win32Spooler::OpenForDeletion(const std::string& printerName) {
    DEVMODEA deviceMode{};
    char datatype[] = "RAW";
    PRINTER_DEFAULTSA defaults{datatype, &deviceMode, PRINTER_ALL_ACCESS};
    return Open(printerName, &defaults);
}

bool Win32Spooler::Transceive(SpoolerHandle handle, const std::u16string& dataName,
                           const std::vector<unsigned char>& input, std::vector<unsigned char>& output,
                           std::uint32_t& status) {
    std::vector<unsigned char> request = input;
    DWORD needed = 0;
    DWORD monitorStatus = status;
    BOOL ok = XcvDataW(ToHandle(handle), reinterpret_cast<PCWSTR>(dataName.c_str()),
                       request.empty() ? nullptr : request.data(), static_cast<DWORD>(request.size()),
                       output.empty() ? nullptr : output.data(), static_cast<DWORD>(output.size()), &needed,
                       &monitorStatus);
    status = monitorStatus;
    return ok != FALSE;
}

SpoolerHandle Win32Spooler::AddQueue(const NewPrinterQueue& queue) {
    std::vector<char> printerName = Writable(queue.printerName);
    std::vector<char> portName = Writable(queue.portName);
    std::vector<char> driverName = Writable(queue.driverName);
    std::vector<char> printProcessor = Writable(queue.printProcessor);
    PRINTER_INFO_2A info{};
    info.pPrinterName = printerName.data();
    info.pPortName = portName.data();
    info.pDriverName = driverName.data();
    info.pPrintProcessor = printProcessor.data();
    return FromHandle(AddPrinterA(nullptr, 2, reinterpret_cast<LPBYTE>(&info)));
}

bool Win32Spooler::PurgePrinter(SpoolerHandle handle) {
    return SetPrinterA(ToHandle(handle), 0, nullptr, PRINTER_CONTROL_PURGE) != FALSE;
}

bool Win32Spooler::DeletePrinter(SpoolerHandle handle) { return ::DeletePrinter(ToHandle(handle)) != FALSE; }

bool Win32Spooler::DeleteDriver(const std::string& driverName) {
    std::vector<char> name = Writable(driverName);
    return DeletePrinterDriverExA(nullptr, nullptr, name.data(), DPD_DELETE_UNUSED_FILES, 0) != FALSE;
}

void Win32Spooler::ClosePrinter(SpoolerHandle handle) { ::ClosePrinter(ToHandle(handle)); }
