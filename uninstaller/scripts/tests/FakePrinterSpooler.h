#pragma once
// A spooler in memory with every failure the printer-list builder handles,
// for the builder's and the loading sequence's tests.

#include "InstalledPrinterList.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

struct FakePrinter {
    std::string name;
    std::string driver;
    std::string server;
    std::uint32_t attributes = 0;
    bool ownerData = false;
    std::string maskedBaseName;  // "VenPrinter" when not empty
    bool opens = true;
    bool level2Readable = true;
};

// The spooler as the builder sees it, with every failure the builder handles.
class FakeSpooler : public PrinterSpooler {
public:
    std::vector<FakePrinter> printers;
    std::string deviceEntry;
    std::string computerName = "DESK";
    std::uint32_t firstCallError = 0;  // makes the first call answer 0 bytes
    bool bufferAvailable = true;
    bool secondCallFails = false;
    // The failures above and unreadable level-2 data hold for this many
    // listings; later ones read everything.
    int failingListings = 1000;
    int listings = 0;

    std::vector<int> levelsAsked;
    std::vector<std::uint32_t> accessAsked;
    std::map<Handle, int> openCount;  // handle -> opens minus closes
    std::uint32_t error = 0;

    std::uint32_t EnumPrintersNeeded(int level) override
    {
        levelsAsked.push_back(level);
        ++listings;
        error = firstCallError;
        return firstCallError ? 0 : PrinterEnumerationEntrySize(level) * static_cast<std::uint32_t>(printers.size()) + 64;
    }
    std::uint32_t LastError() override { return error; }
    bool Failing() const { return listings <= failingListings; }
    bool ObtainEnumerationBuffer(std::uint32_t) override
    {
        const bool available = bufferAvailable || !Failing();
        error = available ? 0 : 8;
        return available;
    }
    bool EnumeratePrinters(int level, std::uint32_t bytes, std::uint32_t& needed, std::uint32_t& returned,
                      std::vector<std::string>& names) override
    {
        levelsAsked.push_back(level);
        if (secondCallFails && Failing()) {
            error = 122;
            needed = bytes * 2;
            returned = 0;
            return false;
        }
        for (const FakePrinter& printer : printers)
            names.push_back(printer.name);
        returned = static_cast<std::uint32_t>(names.size());
        return true;
    }
    std::string DefaultPrinterEntry() override { return deviceEntry; }
    std::string ComputerName() override { return computerName; }
    Handle OpenPrinterHandle(const std::string& name, std::uint32_t access) override
    {
        accessAsked.push_back(access);
        for (std::size_t i = 0; i < printers.size(); ++i)
            if (printers[i].name == name && printers[i].opens) {
                ++openCount[i + 1];
                return i + 1;
            }
        return 0;
    }
    bool ReadPrinterData(Handle printer, const std::string& valueName, std::uint32_t maxBytes,
                        std::string* value) override
    {
        const FakePrinter& p = printers[printer - 1];
        if (valueName == "NorvaneDriver_Z")
            return p.ownerData;
        if (valueName == "VenPrinter" && !p.maskedBaseName.empty()) {
            EXPECT_EQ(maxBytes, 256u);
            if (value)
                *value = p.maskedBaseName;
            return true;
        }
        return false;
    }
    std::uint32_t GetPrinterLevel2Needed(Handle printer) override
    {
        const bool readable = printers[printer - 1].level2Readable || !Failing();
        error = readable ? 122 : 5;
        return readable ? 300 : 0;
    }
    bool GetPrinterLevel2(Handle printer, std::uint32_t bytes, PrinterLevel2Info& info) override
    {
        EXPECT_EQ(bytes, 300u);
        const FakePrinter& p = printers[printer - 1];
        info = {p.name, p.driver, p.server, p.attributes};
        return true;
    }
    void ClosePrinter(Handle printer) override { --openCount[printer]; }

    bool AllClosed() const
    {
        for (const auto& [handle, count] : openCount)
            if (count != 0)
                return false;
        return true;
    }
};

inline FakePrinter Theirs(std::string name, std::string driver, std::string server = "")
{
    FakePrinter printer;
    printer.name = std::move(name);
    printer.driver = std::move(driver);
    printer.server = std::move(server);
    return printer;
}

inline FakePrinter Ours(std::string name, std::string driver)
{
    FakePrinter printer = Theirs(std::move(name), std::move(driver));
    printer.ownerData = true;
    return printer;
}
