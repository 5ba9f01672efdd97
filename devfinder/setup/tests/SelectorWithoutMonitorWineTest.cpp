// The selector's reaction to a tick when the spooler has no Standard TCP/IP
// Port monitor, with the real spooler: Wine has no such monitor, so this is
// the case a machine without it (or a user without the rights to open it)
// meets. Nothing is created, the user is told why, the tick is taken back
// and no new search runs.
#include <windows.h>

#include <gtest/gtest.h>

#include <array>

#include "DeviceTable.h"
#include "Ipv4Address.h"
#include "SelectorFlow.h"
#include "SelectorRows.h"
#include "SetupFactory.h"

namespace {

bool RunningUnderWine()
{
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

class RowList : public SelectorList {
public:
    struct Cell {
        std::string text;
        int check = -1;
    };
    std::vector<std::array<Cell, kSelectorColumnCount>> rows;

    int AppendRow() override
    {
        rows.emplace_back();
        return static_cast<int>(rows.size()) - 1;
    }
    void SetItemText(int row, int column, const std::string& text) override { rows.at(row)[column].text = text; }
    void SetItemToolTipText(int, int, const std::string&) override {}
    void SetCheckbox(int row, int column, int state) override { rows.at(row)[column].check = state; }
    int GetCheckbox(int row, int column) const override { return rows.at(row)[column].check; }
    std::string GetItemText(int row, int column) const override { return rows.at(row)[column].text; }
};

// The user accepts the proposed names.
class AcceptingEditor : public PortNameEditor {
public:
    std::string proposedPortName, proposedPrinterName;
    bool Edit(std::string& portName, std::string& printerName, const NamesInUse&) override
    {
        proposedPortName = portName;
        proposedPrinterName = printerName;
        return true;
    }
};

class RecordingPrompts : public SetupPrompts {
public:
    std::vector<std::string> shown;
    void ShowRefusal(const std::string& text) override { shown.push_back(text); }
    bool Confirm(const std::string&) override { return false; }
};

TEST(SelectorWithoutTcpIpMonitor, TheTickIsTakenBackWithAMessageAndNothingIsCreatedOrSearched)
{
    if (!RunningUnderWine())
        GTEST_SKIP() << "Windows has the Standard TCP/IP Port monitor; a tick there would create a real queue";
    std::unique_ptr<PrinterSetup> setup = CreateSpoolerPrinterSetup();
    AcceptingEditor editor;
    RecordingPrompts prompts;
    SetupLayer layer{setup.get(), &editor, &prompts};
    RowList list;
    DeviceTable devices;
    std::string dnsName = "prn-lab", netbiosName;
    const Ipv4Address address = AddressFromBytes(10, 77, 1, 21);
    ASSERT_TRUE(devices.AddIfNew(address, DottedText(address), dnsName, "model", netbiosName));
    AddDeviceRowTo(list, layer, netbiosName, DottedText(address), dnsName);
    ASSERT_EQ(1u, list.rows.size());
    ASSERT_EQ(0, list.rows[0][kColumnEnabled].check) << "no port exists for the lab printer";

    int searches = 0;
    list.rows[0][kColumnEnabled].check = 1;  // the list toggles before it tells the window
    const int result = HandleCheckboxClick(0, kColumnEnabled, list, devices, layer, [&] { ++searches; });

    EXPECT_EQ(dnsName, editor.proposedPortName);
    EXPECT_EQ(dnsName, editor.proposedPrinterName);
    EXPECT_EQ(CreateOutcome::Unavailable, setup->CreatePrinterForDevice(dnsName, dnsName, dnsName).outcome);
    EXPECT_EQ(kTickTakenBack, result);
    EXPECT_EQ(0, list.rows[0][kColumnEnabled].check) << "no port, no queue: no tick";
    ASSERT_EQ(1u, prompts.shown.size());
    EXPECT_NE(std::string::npos, prompts.shown[0].find("Standard TCP/IP Port monitor cannot be opened"))
        << prompts.shown[0];
    EXPECT_EQ(0, searches) << "an unavailable monitor runs no new search";
    EXPECT_FALSE(setup->FindPortForUnit(dnsName).found);
}

}  // namespace
