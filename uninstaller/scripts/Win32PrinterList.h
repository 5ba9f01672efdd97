#pragma once
// The spooler calls of the installed-printer list builder, made through
// XSPOOL_Z. Windows only; the decisions are in InstalledPrinterList.

#include "InstalledPrinterList.h"

#include <vector>

class Win32PrinterSpooler : public PrinterSpooler {
public:
    std::uint32_t EnumPrintersNeeded(int level) override;
    std::uint32_t LastError() override;
    bool ObtainEnumerationBuffer(std::uint32_t bytes) override;
    bool EnumeratePrinters(int level, std::uint32_t bytes, std::uint32_t& needed, std::uint32_t& returned,
                      std::vector<std::string>& names) override;
    std::string DefaultPrinterEntry() override;
    std::string ComputerName() override;
    Handle OpenPrinterHandle(const std::string& name, std::uint32_t access) override;
    bool ReadPrinterData(Handle printer, const std::string& valueName, std::uint32_t maxBytes,
                        std::string* value) override;
    std::uint32_t GetPrinterLevel2Needed(Handle printer) override;
    bool GetPrinterLevel2(Handle printer, std::uint32_t bytes, PrinterLevel2Info& info) override;
    void ClosePrinter(Handle printer) override;

private:
    std::vector<unsigned char> buffer_;
};
