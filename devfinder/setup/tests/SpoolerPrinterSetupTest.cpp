#include "SpoolerPrinterSetup.h"

#include "FakeSpooler.h"
#include "Latin1Text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace {

using Strings = std::vector<std::string>;
const std::string kFamily = "ARVEL NORVANE Vivaro 5320MF";
const auto kNoQuestion = [](std::uint32_t) { return false; };

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
    spooler.printers = {{"Lab", "IP_lab", kFamily}, {"Lpr", "IP_lpr", kFamily}, {"Office", "IP_office", kFamily}};
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
    spooler.printers = {{"Lab", "IP_lab", kFamily}};
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
    EXPECT_EQ(setup.CreatePrinterForDevice("prn-lab", "IP_lab", "Lab printer").outcome, CreateOutcome::Created);

    xcv::NewRawPort expectedPort{u"IP_lab", u"prn-lab", u"tarnix", 9100, 1};
    EXPECT_EQ(spooler.lastAddPortRequest, xcv::BuildAddPortRequest(expectedPort));
    ASSERT_EQ(spooler.addedQueues.size(), 1u);
    EXPECT_EQ(spooler.addedQueues[0].printerName, "Lab printer");
    EXPECT_EQ(spooler.addedQueues[0].portName, "IP_lab");
    EXPECT_EQ(spooler.addedQueues[0].driverName, "ARVEL NORVANE Vivaro 5320MF");
    EXPECT_EQ(spooler.addedQueues[0].printProcessor, "WinPrint");
    EXPECT_EQ(spooler.addedQueues[0].datatype, "RAW");

    EXPECT_TRUE(setup.FindPortForUnit("PRN-LAB").found);
}

TEST_F(SpoolerPrinterSetupTest, DeletingAQueueLeavesItsPortForTheNextCreation) {
    spooler.printers = {{"Lab", "IP_lab", kFamily}};
    spooler.tcpPorts["IP_lab"] = {xcv::kProtocolRaw, u"prn-lab", u""};

    EXPECT_EQ(setup.DeletePrinterQueue("Lab", kNoQuestion).outcome, DeleteOutcome::Deleted);
    EXPECT_EQ(spooler.log,
              (Strings{"OpenForDeletion Lab", "PurgePrinter Lab", "DeletePrinter Lab", "ClosePrinter Lab"}))
        << "no driver is deleted, whatever its name";
    EXPECT_TRUE(spooler.printers.empty());
    EXPECT_TRUE(spooler.tcpPorts.count("IP_lab"));

    // The monitor answers 183 (already exists) and the port is reused.
    EXPECT_EQ(setup.CreatePrinterForDevice("prn-lab", "IP_lab", "Lab").outcome, CreateOutcome::Created);
    EXPECT_TRUE(Logged("AddPrinter Lab"));
    EXPECT_TRUE(setup.FindPortForUnit("prn-lab").found);
}

TEST_F(SpoolerPrinterSetupTest, DeletingAQueueNamedLikeTheFamilyDriverKeepsTheDriver) {
    spooler.printers = {{"Arvel Norvane Vivaro 5320MF", "IP_lab", kFamily}};
    EXPECT_EQ(setup.DeletePrinterQueue("Arvel Norvane Vivaro 5320MF", kNoQuestion).outcome, DeleteOutcome::Deleted);
    EXPECT_TRUE(spooler.printers.empty());
}

TEST_F(SpoolerPrinterSetupTest, DeletingAQueueThatCannotBeOpenedChangesNothing) {
    EXPECT_EQ(setup.DeletePrinterQueue("", kNoQuestion).outcome, DeleteOutcome::NotOpened);
    EXPECT_TRUE(spooler.log.empty()) << "an empty name would open the print server itself";
    EXPECT_EQ(setup.DeletePrinterQueue("Missing", kNoQuestion).outcome, DeleteOutcome::NotOpened);
    EXPECT_EQ(spooler.log, (Strings{"OpenForDeletion Missing"}));
}

TEST_F(SpoolerPrinterSetupTest, ARefusedPortCreatesNoQueue) {
    spooler.addPortStatusOverride = 5;
    EXPECT_EQ(setup.CreatePrinterForDevice("prn-lab", "IP_lab", "Lab").outcome, CreateOutcome::Refused);
    EXPECT_TRUE(spooler.addedQueues.empty());
}

TEST_F(SpoolerPrinterSetupTest, WithoutTheMonitorNothingIsAttempted) {
    spooler.monitorAvailable = false;
    EXPECT_EQ(setup.CreatePrinterForDevice("prn-lab", "IP_lab", "Lab").outcome, CreateOutcome::Unavailable);
    EXPECT_EQ(spooler.log, (Strings{"OpenForAdministration ,XcvMonitor Standard TCP/IP Port"}));
}

// Windows' own wizard names a queue like its driver; another vendor's queue
// on the device's address is neither the device's tick nor ours to delete.
TEST_F(SpoolerPrinterSetupTest, QueuesOfOtherDriversAreNeitherTickedNorDeleted) {
    spooler.printers = {{"Acme Laser 100", "IP_acme", "Acme Laser 100"}};
    spooler.tcpPorts["IP_acme"] = {xcv::kProtocolRaw, u"prn-lab", u""};
    EXPECT_FALSE(setup.FindPortForUnit("prn-lab").found);

    const DeleteResult refused = setup.DeletePrinterQueue("Acme Laser 100", kNoQuestion);
    EXPECT_EQ(refused.outcome, DeleteOutcome::ForeignDriver);
    EXPECT_EQ(refused.driverName, "Acme Laser 100");
    EXPECT_TRUE(spooler.HasQueue("Acme Laser 100"));
    EXPECT_FALSE(Logged("PurgePrinter Acme Laser 100"));

    spooler.printers.push_back({"Lab", "IP_lab", kFamily});
    spooler.tcpPorts["IP_lab"] = {xcv::kProtocolRaw, u"prn-lab", u""};
    EXPECT_EQ(setup.FindPortForUnit("PRN-LAB").printerName, "Lab");
}

TEST_F(SpoolerPrinterSetupTest, AQueueWithWaitingJobsGoesOnlyWhenTheUserAgrees) {
    spooler.printers = {{"Lab", "IP_lab", kFamily}};
    spooler.jobs["Lab"] = 3;
    for (const bool agree : {false, true}) {
        const auto answer = [&](std::uint32_t jobs) { return jobs == 3 && agree; };
        EXPECT_EQ(setup.DeletePrinterQueue("Lab", answer).outcome,
                  agree ? DeleteOutcome::Deleted : DeleteOutcome::Declined);
        EXPECT_EQ(spooler.HasQueue("Lab"), !agree);
    }
}

TEST_F(SpoolerPrinterSetupTest, EveryRefusalOnTheWayIsReportedAndNothingIsLeftHalfMade) {
    struct Case {
        const char* name;
        bool monitor;
        std::uint32_t portStatus;
        std::uint32_t printerError;
        const char* existingHost;  // a port "IP_lab" there before, or none
        CreateResult expected;
        bool portAfterwards;
    };
    const Case cases[] = {
        {"no rights for the monitor", false, 0, 0, nullptr, {CreateOutcome::Unavailable, 5}, false},
        {"the port refused", true, 5, 0, nullptr, {CreateOutcome::Refused, 5}, false},
        {"the queue refused", true, 0, 1797, nullptr, {CreateOutcome::QueueRefused, 1797, true}, false},
        {"the queue refused on a reused port", true, 0, 1797, "prn-lab", {CreateOutcome::QueueRefused, 1797}, true},
        {"a port of that name prints elsewhere", true, 0, 0, "other-host", {CreateOutcome::PortElsewhere, 183}, true},
    };
    for (const Case& c : cases) {
        spooler.tcpPorts.clear();
        if (c.existingHost) {
            const std::string host = c.existingHost;
            spooler.tcpPorts["IP_lab"] = {xcv::kProtocolRaw, std::u16string(host.begin(), host.end()), u""};
        }
        spooler.monitorAvailable = c.monitor;
        spooler.addPortStatusOverride = c.portStatus;
        spooler.addPrinterError = c.printerError;
        spooler.addedQueues.clear();
        const CreateResult result = setup.CreatePrinterForDevice("prn-lab", "ip_LAB", "Lab");
        EXPECT_EQ(result.outcome, c.expected.outcome) << c.name;
        EXPECT_EQ(result.error, c.expected.error) << c.name;
        EXPECT_EQ(result.portRemoved, c.expected.portRemoved) << c.name;
        EXPECT_EQ(spooler.tcpPorts.size(), c.portAfterwards ? 1u : 0u) << c.name;
        EXPECT_FALSE(spooler.HasQueue("Lab")) << c.name;
        if (c.expected.outcome == CreateOutcome::PortElsewhere) {
            EXPECT_TRUE(spooler.addedQueues.empty()) << c.name;
        }
    }
}

TEST_F(SpoolerPrinterSetupTest, TheEditorRefusesEveryPortButAnUnusedRawPortToTheDevice) {
    spooler.printers = {{"Lab", "IP_lab", kFamily}, {"Pool", "IP_a,IP_b", "Acme"}};
    spooler.tcpPorts["IP_lab"] = {xcv::kProtocolRaw, u"prn-lab", u""};
    spooler.tcpPorts["IP_a"] = {xcv::kProtocolRaw, u"a", u""};
    spooler.tcpPorts["IP_b"] = {xcv::kProtocolRaw, u"b", u""};
    spooler.tcpPorts["IP_left"] = {xcv::kProtocolRaw, u"PRN-LAB", u""};
    spooler.tcpPorts["IP_other"] = {xcv::kProtocolRaw, u"other-host", u""};
    spooler.tcpPorts["LPR_lab"] = {xcv::kProtocolLpr, u"prn-lab", u""};

    const NamesInUse inUse = setup.NamesInUseFor("prn-lab");
    const std::set<std::string> ports(inUse.ports.begin(), inUse.ports.end());
    EXPECT_EQ(ports, (std::set<std::string>{"IP_lab", "IP_a", "IP_b", "IP_other", "LPR_lab", "LPT1:", "FILE:"}));
    EXPECT_EQ(inUse.printers, (Strings{"Lab", "Pool"}));
}

TEST_F(SpoolerPrinterSetupTest, ALabelLongerThanPortData1HoldsIsKeptWhole) {
    const std::string label(63, 'n');
    EXPECT_EQ(setup.CreatePrinterForDevice(label, "IP_long", "Long").outcome, CreateOutcome::Created);
    EXPECT_EQ(xcv::ReadUint32(spooler.lastAddPortRequest, xcv::kVersionOffset), 2u);
    EXPECT_EQ(xcv::ReadText(spooler.lastAddPortRequest, xcv::kHostAddress2Field),
              std::u16string(label.begin(), label.end()));
    // The monitor's answer keeps 48 characters of it, which stand for the whole.
    EXPECT_TRUE(setup.FindPortForUnit(label).found);
    EXPECT_FALSE(setup.FindPortForUnit(std::string(40, 'n') + std::string(23, 'x')).found);
}

}  // namespace
