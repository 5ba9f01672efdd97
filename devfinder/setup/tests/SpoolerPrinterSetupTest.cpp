#include "SpoolerPrinterSetup.h"

#include "FakeSpooler.h"
#include "Latin1Text.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using Strings = std::vector<std::string>;

class SpoolerPrinterSetupTest : public ::testing::Test {
protected:
    void TearDown() override { EXPECT_TRUE(spooler.openHandles.empty()) << "a spooler handle was left open"; }

    bool Logged(const std::string& entry) const {
        return std::find(spooler.log.begin(), spooler.log.end(), entry) != spooler.log.end();
    }

    FakeSpooler spooler;
    Latin1Text text;
    SpoolerPrinterSetup setup{spooler, text};
};

TEST_F(SpoolerPrinterSetupTest, OnlyQueuesOnRawPortsWithAnAddressAreListed) {
    spooler.printers = {{"Lab", "IP_lab"},      {"Lpt", "LPT1:"},       {"Lpr", "IP_lpr"},
                        {"Blank", "IP_blank"},  {"Broken", "IP_broken"}, {"Office", "IP_office"}};
    spooler.tcpPorts["IP_lab"] = {xcv::kProtocolRaw, u"prn-lab", u""};
    spooler.tcpPorts["IP_lpr"] = {xcv::kProtocolLpr, u"", u"10.0.0.9"};
    spooler.tcpPorts["IP_blank"] = {xcv::kProtocolRaw, u"", u""};
    spooler.tcpPorts["IP_broken"] = {xcv::kProtocolRaw, u"", u"10.0.0.5", 87};
    spooler.tcpPorts["IP_office"] = {xcv::kProtocolRaw, u"printer7", u"10.0.0.7"};

    EXPECT_EQ(setup.EnumerateTcpPorts(), 6);

    // The parallel port cannot be opened as a TCP/IP port and is passed over.
    EXPECT_TRUE(Logged("OpenWithoutDefaults ,XcvPort LPT1:"));
    EXPECT_EQ(setup.PortAddresses(), (Strings{"prn-lab", "10.0.0.7"}));
    EXPECT_EQ(setup.PortNames(), (Strings{"IP_lab", "IP_office"}));
    EXPECT_EQ(setup.PrinterNames(), (Strings{"Lab", "Office"}));
    EXPECT_EQ(spooler.lastConfigRequest, xcv::BuildConfigInfoRequest());
}

TEST_F(SpoolerPrinterSetupTest, UnitNamesMatchAddressesIgnoringCaseAndPreferTheIpAddress) {
    spooler.printers = {{"Lab", "IP_lab"}, {"Lpr", "IP_lpr"}, {"Office", "IP_office"}};
    spooler.tcpPorts["IP_lab"] = {xcv::kProtocolRaw, u"prn-lab", u""};
    spooler.tcpPorts["IP_lpr"] = {xcv::kProtocolLpr, u"lpr-host", u""};
    spooler.tcpPorts["IP_office"] = {xcv::kProtocolRaw, u"printer7", u"10.0.0.7"};

    PortMatch lab = setup.FindPortForUnit("PRN-LAB");
    EXPECT_TRUE(lab.found);
    EXPECT_EQ(lab.portName, "IP_lab");
    EXPECT_EQ(lab.printerName, "Lab");

    EXPECT_TRUE(setup.FindPortForUnit("10.0.0.7").found);
    EXPECT_FALSE(setup.FindPortForUnit("printer7").found);
    EXPECT_FALSE(setup.FindPortForUnit("lpr-host").found);
}

TEST_F(SpoolerPrinterSetupTest, EveryLookUpEnumeratesAfresh) {
    EXPECT_FALSE(setup.FindPortForUnit("prn-lab").found);
    spooler.printers = {{"Lab", "IP_lab"}};
    spooler.tcpPorts["IP_lab"] = {xcv::kProtocolRaw, u"prn-lab", u""};
    EXPECT_TRUE(setup.FindPortForUnit("prn-lab").found);
}

TEST_F(SpoolerPrinterSetupTest, EnumerationRetriesWithTheNewSizeAtMostFourAllocations) {
    spooler.printers = {{"Lab", "IP_lab"}};
    spooler.tcpPorts["IP_lab"] = {xcv::kProtocolRaw, u"prn-lab", u""};

    // The queue list grows between the size query and the next two attempts.
    spooler.enumerationNeeds = {100, 200, 300, 300};
    EXPECT_EQ(setup.EnumerateTcpPorts(), 1);
    EXPECT_EQ(spooler.enumerationBufferSizes, (std::vector<std::size_t>{0, 100, 200, 300}));

    spooler.enumerationBufferSizes.clear();
    spooler.enumerationNeeds = {100, 200, 300, 400, 500, 500};
    EXPECT_EQ(setup.EnumerateTcpPorts(), 0);
    EXPECT_EQ(spooler.enumerationBufferSizes, (std::vector<std::size_t>{0, 100, 200, 300, 400}));
    EXPECT_TRUE(setup.PortAddresses().empty());
    EXPECT_TRUE(setup.PortNames().empty());
    EXPECT_TRUE(setup.PrinterNames().empty());
}

TEST_F(SpoolerPrinterSetupTest, CreatingMakesARawPortAndAQueueWithTheFamilyDriver) {
    EXPECT_EQ(setup.CreatePrinterForDevice("prn-lab", "IP_lab", "Lab printer"), CreateOutcome::Created);

    xcv::NewRawPort expectedPort{u"IP_lab", u"prn-lab", u"tarnix", 9100, 1};
    EXPECT_EQ(spooler.lastAddPortRequest, xcv::BuildAddPortRequest(expectedPort));
    ASSERT_EQ(spooler.addedQueues.size(), 1u);
    EXPECT_EQ(spooler.addedQueues[0].printerName, "Lab printer");
    EXPECT_EQ(spooler.addedQueues[0].portName, "IP_lab");
    EXPECT_EQ(spooler.addedQueues[0].driverName, "ARVEL NORVANE Vivaro 5320MF");
    EXPECT_EQ(spooler.addedQueues[0].printProcessor, "WinPrint");

    EXPECT_TRUE(setup.FindPortForUnit("PRN-LAB").found);
}

TEST_F(SpoolerPrinterSetupTest, DeletingAQueueLeavesItsPortForTheNextCreation) {
    spooler.printers = {{"Lab", "IP_lab"}};
    spooler.tcpPorts["IP_lab"] = {xcv::kProtocolRaw, u"prn-lab", u""};

    EXPECT_TRUE(setup.DeletePrinterQueue("Lab"));
    EXPECT_EQ(spooler.log, (Strings{"OpenForDeletion Lab", "PurgePrinter Lab", "DeletePrinter Lab",
                                    "DeletePrinterDriver Lab", "ClosePrinter Lab"}));
    EXPECT_TRUE(spooler.printers.empty());
    EXPECT_TRUE(spooler.tcpPorts.count("IP_lab"));

    // The monitor answers 183 (already exists) and the port is reused.
    EXPECT_EQ(setup.CreatePrinterForDevice("prn-lab", "IP_lab", "Lab"), CreateOutcome::Created);
    EXPECT_TRUE(Logged("AddPrinter Lab"));
    EXPECT_TRUE(setup.FindPortForUnit("prn-lab").found);
}

TEST_F(SpoolerPrinterSetupTest, DeletingAQueueNamedLikeTheFamilyDriverKeepsTheDriver) {
    spooler.printers = {{"Arvel Norvane Vivaro 5320MF", "IP_lab"}};
    EXPECT_TRUE(setup.DeletePrinterQueue("Arvel Norvane Vivaro 5320MF"));
    EXPECT_TRUE(spooler.printers.empty());
    EXPECT_TRUE(spooler.deletedDrivers.empty());
}

TEST_F(SpoolerPrinterSetupTest, DeletingAQueueThatCannotBeOpenedChangesNothing) {
    EXPECT_FALSE(setup.DeletePrinterQueue("Missing"));
    EXPECT_EQ(spooler.log, (Strings{"OpenForDeletion Missing"}));
}

TEST_F(SpoolerPrinterSetupTest, AFailedQueueStillCountsAsCreated) {
    spooler.addPrinterFails = true;
    EXPECT_EQ(setup.CreatePrinterForDevice("prn-lab", "IP_lab", "Lab"), CreateOutcome::Created);
    EXPECT_TRUE(Logged("AddPrinter Lab"));
    // No queue uses the new port, so the next search shows no tick.
    EXPECT_FALSE(setup.FindPortForUnit("prn-lab").found);
}

TEST_F(SpoolerPrinterSetupTest, ARefusedPortCreatesNoQueue) {
    spooler.addPortStatusOverride = 5;
    EXPECT_EQ(setup.CreatePrinterForDevice("prn-lab", "IP_lab", "Lab"), CreateOutcome::Refused);
    EXPECT_TRUE(spooler.addedQueues.empty());
}

TEST_F(SpoolerPrinterSetupTest, WithoutTheMonitorNothingIsAttempted) {
    spooler.monitorAvailable = false;
    EXPECT_EQ(setup.CreatePrinterForDevice("prn-lab", "IP_lab", "Lab"), CreateOutcome::Unavailable);
    EXPECT_EQ(spooler.log, (Strings{"OpenForAdministration ,XcvMonitor Standard TCP/IP Port"}));
}

}  // namespace
