// The real spooler calls, under Wine: Wine's spooler has no Standard TCP/IP
// Port monitor, so nothing can be created, and the enumeration must cope
// with whatever local queues the prefix has. On Windows with the monitor
// installed the creation case would not be Unavailable; it is marked so.
#include <windows.h>
#include <winspool.h>

#include <gtest/gtest.h>

#include <algorithm>

#include "SetupFactory.h"
#include "SpoolerPrinterSetup.h"
#include "Win32AnsiText.h"
#include "Win32Spooler.h"

namespace {

bool RunningUnderWine()
{
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

TEST(SpoolerUnderWine, WithoutTheTcpIpMonitorCreationIsUnavailable)
{
    if (!RunningUnderWine())
        GTEST_SKIP() << "Windows has the Standard TCP/IP Port monitor; creating ports there changes the machine";
    std::unique_ptr<PrinterSetup> setup = CreateSpoolerPrinterSetup();
    EXPECT_EQ(CreateOutcome::Unavailable, setup->CreatePrinterForDevice("prn-lab", "IP_prn-lab", "prn-lab").outcome);
    EXPECT_FALSE(setup->FindPortForUnit("prn-lab").found);
}

TEST(SpoolerUnderWine, EnumerationCountsTheLocalQueuesAndListsNoTcpPort)
{
    Win32Spooler spooler;
    std::vector<unsigned char> buffer;
    std::uint32_t needed = 0xdeadbeef, returned = 0xdeadbeef;
    const bool sizeQueryAnswered = spooler.EnumerateLocalPrinters(buffer, needed, returned);

    DWORD directNeeded = 0, directReturned = 0;
    EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 2, nullptr, 0, &directNeeded, &directReturned);
    EXPECT_EQ(directNeeded, needed);
    if (sizeQueryAnswered) {
        EXPECT_EQ(0u, returned) << "only an empty list fits in no buffer";
    }

    Win32AnsiText text;
    SpoolerPrinterSetup setup(spooler, text);
    const int printers = setup.EnumerateTcpPorts();
    EXPECT_GE(printers, 0);
    if (RunningUnderWine()) {
        EXPECT_TRUE(setup.PortNames().empty()) << "no queue can sit on a Standard TCP/IP port without its monitor";
    }
    EXPECT_EQ(setup.PortNames().size(), setup.PrinterNames().size());
    EXPECT_EQ(setup.PortNames().size(), setup.PortAddresses().size());

    std::vector<std::string> ports;
    ASSERT_TRUE(spooler.EnumeratePortNames(ports));
    EXPECT_NE(std::find(ports.begin(), ports.end(), "FILE:"), ports.end()) << "every spooler knows the file port";
}

TEST(SpoolerUnderWine, DeletingAnUnknownQueueIsRefusedQuietly)
{
    std::unique_ptr<PrinterSetup> setup = CreateSpoolerPrinterSetup();
    const auto neverAsked = [](std::uint32_t) {
        ADD_FAILURE() << "nothing to ask about a queue that does not exist";
        return false;
    };
    const DeleteResult result = setup->DeletePrinterQueue("No such queue 5320MF", neverAsked);
    EXPECT_EQ(DeleteOutcome::NotOpened, result.outcome);
    EXPECT_EQ(static_cast<std::uint32_t>(ERROR_INVALID_PRINTER_NAME), result.error);
}

TEST(SpoolerUnderWine, TextConversionsFollowTheCodePage)
{
    Win32AnsiText text;
    EXPECT_EQ(u"prn-lab", text.Widen("prn-lab"));
    EXPECT_EQ("10.0.0.7", text.Narrow(u"10.0.0.7"));
    EXPECT_EQ("PRN-LAB", text.UpperCase("prn-lab"));
    EXPECT_EQ("", text.UpperCase(""));
    EXPECT_FALSE(text.IsLeadByte('\\'));
    if (GetACP() == 932) {
        EXPECT_TRUE(text.IsLeadByte('\x95')) << "the first byte of 表";
    }
}

}  // namespace
