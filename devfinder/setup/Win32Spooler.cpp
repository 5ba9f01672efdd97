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

}  // namespace

bool Win32Spooler::Noted(bool succeeded) {
    if (!succeeded) lastError_ = GetLastError();
    return succeeded;
}

SpoolerHandle Win32Spooler::Open(const std::string& name, PRINTER_DEFAULTSA* defaults) {
    std::vector<char> writableName = Writable(name);
    HANDLE handle = nullptr;
    if (!Noted(OpenPrinterA(writableName.data(), &handle, defaults) != FALSE)) return 0;
    return FromHandle(handle);
}

bool Win32Spooler::EnumerateLocalPrinters(std::vector<unsigned char>& buffer, std::uint32_t& bytesNeeded,
                                          std::uint32_t& printersReturned) {
    DWORD needed = 0;
    DWORD returned = 0;
    BOOL ok = EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 2, buffer.empty() ? nullptr : buffer.data(),
                            static_cast<DWORD>(buffer.size()), &needed, &returned);
    bytesNeeded = needed;
    printersReturned = ok ? returned : 0;
    return Noted(ok != FALSE);
}

LocalPrinter Win32Spooler::PrinterAt(const std::vector<unsigned char>& buffer, std::uint32_t index) const {
    // A count that does not fit the buffer is not trusted beyond the buffer's end.
    if ((static_cast<std::size_t>(index) + 1) * sizeof(PRINTER_INFO_2A) > buffer.size()) return {};
    const auto* printers = reinterpret_cast<const PRINTER_INFO_2A*>(buffer.data());
    return LocalPrinter{TextOrEmpty(printers[index].pPrinterName), TextOrEmpty(printers[index].pPortName),
                        TextOrEmpty(printers[index].pDriverName)};
}

bool Win32Spooler::EnumeratePortNames(std::vector<std::string>& names) {
    names.clear();
    DWORD needed = 0, returned = 0;
    std::vector<BYTE> buffer;
    // The list may grow between the size query and the call that fills it.
    for (int attempt = 0; attempt < 4; ++attempt) {
        if (EnumPortsA(nullptr, 1, buffer.empty() ? nullptr : buffer.data(), static_cast<DWORD>(buffer.size()),
                       &needed, &returned)) {
            const auto* ports = reinterpret_cast<const PORT_INFO_1A*>(buffer.data());
            for (DWORD i = 0; i < returned && (i + 1) * sizeof(PORT_INFO_1A) <= buffer.size(); ++i)
                names.push_back(TextOrEmpty(ports[i].pName));
            return true;
        }
        Noted(false);
        if (lastError_ != ERROR_INSUFFICIENT_BUFFER) return false;
        buffer.assign(needed, 0);
    }
    return false;
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
    return Noted(ok != FALSE);
}

SpoolerHandle Win32Spooler::AddQueue(const NewPrinterQueue& queue) {
    std::vector<char> printerName = Writable(queue.printerName);
    std::vector<char> portName = Writable(queue.portName);
    std::vector<char> driverName = Writable(queue.driverName);
    std::vector<char> printProcessor = Writable(queue.printProcessor);
    std::vector<char> datatype = Writable(queue.datatype);
    PRINTER_INFO_2A info{};
    info.pPrinterName = printerName.data();
    info.pPortName = portName.data();
    info.pDriverName = driverName.data();
    info.pPrintProcessor = printProcessor.data();
    info.pDatatype = queue.datatype.empty() ? nullptr : datatype.data();
    HANDLE added = AddPrinterA(nullptr, 2, reinterpret_cast<LPBYTE>(&info));
    Noted(added != nullptr);
    return FromHandle(added);
}

bool Win32Spooler::QueueState(SpoolerHandle handle, std::string& driverName, std::uint32_t& jobCount) {
    DWORD needed = 0;
    GetPrinterA(ToHandle(handle), 2, nullptr, 0, &needed);
    std::vector<BYTE> buffer(needed >= sizeof(PRINTER_INFO_2A) ? needed : sizeof(PRINTER_INFO_2A));
    if (!Noted(GetPrinterA(ToHandle(handle), 2, buffer.data(), static_cast<DWORD>(buffer.size()), &needed) != FALSE))
        return false;
    const auto* info = reinterpret_cast<const PRINTER_INFO_2A*>(buffer.data());
    driverName = TextOrEmpty(info->pDriverName);
    jobCount = info->cJobs;
    return true;
}

bool Win32Spooler::PurgePrinter(SpoolerHandle handle) {
    return Noted(SetPrinterA(ToHandle(handle), 0, nullptr, PRINTER_CONTROL_PURGE) != FALSE);
}

bool Win32Spooler::DeletePrinter(SpoolerHandle handle) { return Noted(::DeletePrinter(ToHandle(handle)) != FALSE); }

void Win32Spooler::ClosePrinter(SpoolerHandle handle) { ::ClosePrinter(ToHandle(handle)); }
