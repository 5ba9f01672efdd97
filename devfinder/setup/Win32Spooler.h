#pragma once
// The spooler calls themselves (ANSI entry points, the wide transceive call).

#include "Spooler.h"

class Win32Spooler : public Spooler {
public:
    bool EnumerateLocalPrinters(std::vector<unsigned char>& buffer, std::uint32_t& bytesNeeded,
                                std::uint32_t& printersReturned) override;
    LocalPrinter PrinterAt(const std::vector<unsigned char>& buffer, std::uint32_t index) const override;
    bool EnumeratePortNames(std::vector<std::string>& names) override;
    SpoolerHandle OpenWithoutDefaults(const std::string& name) override;
    SpoolerHandle OpenForAdministration(const std::string& name) override;
    SpoolerHandle OpenForDeletion(const std::string& printerName) override;
    bool Transceive(SpoolerHandle handle, const std::u16string& dataName, const std::vector<unsigned char>& input,
                 std::vector<unsigned char>& output, std::uint32_t& status) override;
    SpoolerHandle AddQueue(const NewPrinterQueue& queue) override;
    bool QueueState(SpoolerHandle handle, std::string& driverName, std::uint32_t& jobCount) override;
    bool PurgePrinter(SpoolerHandle handle) override;
    bool DeletePrinter(SpoolerHandle handle) override;
    void ClosePrinter(SpoolerHandle handle) override;
    std::uint32_t LastError() const override { return lastError_; }

private:
    // Keeps the error of a call that failed, for LastError.
    bool Noted(bool succeeded);
    SpoolerHandle Open(const std::string& name, struct _PRINTER_DEFAULTSA* defaults);

    std::uint32_t lastError_ = 0;
};
