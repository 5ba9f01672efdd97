#include <gtest/gtest.h>

#include <map>
#include <optional>

#include "SelectorFlow.h"
#include "SelectorRows.h"

namespace {

struct Cell {
    std::string text;
    std::string toolTip;
    int check = -1;
};

class FakeList : public SelectorList {
public:
    std::vector<std::array<Cell, kSelectorColumnCount>> rows;

    int AppendRow() override
    {
        rows.emplace_back();
        return static_cast<int>(rows.size()) - 1;
    }
    void SetItemText(int row, int column, const std::string& text) override { rows.at(row)[column].text = text; }
    void SetItemToolTipText(int row, int column, const std::string& text) override
    {
        rows.at(row)[column].toolTip = text;
    }
    void SetCheckbox(int row, int column, int state) override { rows.at(row)[column].check = state; }
    int GetCheckbox(int row, int column) const override { return rows.at(row)[column].check; }
    std::string GetItemText(int row, int column) const override { return rows.at(row)[column].text; }

    // What the list itself does on a click before it tells the window.
    void Toggle(int row) { rows.at(row)[0].check = rows.at(row)[0].check == 1 ? 0 : 1; }
};

class FakeSetup : public PrinterSetup {
public:
    std::map<std::string, PortMatch> ports;  // by upper-case unit name
    CreateOutcome outcome = CreateOutcome::Created;
    std::vector<std::string> calls;
    std::vector<std::string> portNames{"IP_10.0.0.9"};
    std::vector<std::string> printerNames{"Office"};

    int EnumerateTcpPorts() override { return 0; }
    PortMatch FindPortForUnit(const std::string& unitName) override
    {
        calls.push_back("find " + unitName);
        const auto found = ports.find(unitName);
        return found == ports.end() ? PortMatch{} : found->second;
    }
    CreateOutcome CreatePrinterForDevice(const std::string& host, const std::string& port,
                                         const std::string& printer) override
    {
        calls.push_back("create " + host + " " + port + " " + printer);
        return outcome;
    }
    bool DeletePrinterQueue(const std::string& printerName) override
    {
        calls.push_back("delete " + printerName);
        return true;
    }
    const std::vector<std::string>& PortNames() const override { return portNames; }
    const std::vector<std::string>& PrinterNames() const override { return printerNames; }
};

class FakeEditor : public PortNameEditor {
public:
    bool pressOk = true;
    std::optional<std::string> typedPortName;
    std::string shownPortName, shownPrinterName;
    const std::vector<std::string>* shownPortList = nullptr;

    bool Edit(std::string& portName, std::string& printerName, const std::vector<std::string>& portNamesInUse,
              const std::vector<std::string>&) override
    {
        shownPortName = portName;
        shownPrinterName = printerName;
        shownPortList = &portNamesInUse;
        if (typedPortName) {
            portName = *typedPortName;
        }
        return pressOk;
    }
};

class SelectorFlowTest : public ::testing::Test {
protected:
    void AddDevice(Ipv4Address address, std::string dns, std::string netbios)
    {
        if (devices.AddIfNew(address, DottedText(address), dns, "model", netbios)) {
            AddDeviceRowTo(list, layer, netbios, DottedText(address), dns);
        }
    }

    int Click(int row)
    {
        list.Toggle(row);
        return HandleCheckboxClick(row, kColumnEnabled, list, devices, layer, [this] { ++searches; });
    }

    FakeList list;
    FakeSetup setup;
    FakeEditor editor;
    SetupLayer layer{&setup, &editor};
    DeviceTable devices;
    int searches = 0;
};

TEST(SelectorRows, ColumnsShareTheWidthAndConfirmIsLeftWithNothing)
{
    const auto widths = SelectorColumnWidths(578);
    EXPECT_EQ(widths[kColumnEnabled], 6 * 576 / 64);
    EXPECT_EQ(widths[kColumnUnitName], 144);
    EXPECT_EQ(widths[kColumnAddress], 108);
    EXPECT_EQ(widths[kColumnConfirm], 0);
    EXPECT_EQ(SelectorColumnWidths(0)[kColumnConfirm], 0);
}

TEST(SelectorRows, UnitNamePrefersDnsThenNetbiosThenAddress)
{
    EXPECT_EQ(UnitNameFor("prn-lab", "PRN1", "10.0.0.7"), "prn-lab");
    EXPECT_EQ(UnitNameFor("", "PRN1", "10.0.0.7"), "PRN1");
    EXPECT_EQ(UnitNameFor("", "", "10.0.0.7"), "10.0.0.7");
}

TEST_F(SelectorFlowTest, DeviceWithAnExistingPortShowsTheTickAndBothNames)
{
    setup.ports["PRN-LAB"] = {true, "IP_PRN", "Lab printer"};
    AddDevice(AddressFromBytes(10, 0, 0, 7), "PRN-LAB", "PRN1");
    AddDevice(AddressFromBytes(10, 0, 0, 8), "", "");
    ASSERT_EQ(list.rows.size(), 2u);
    const auto& ticked = list.rows[0];
    EXPECT_EQ(ticked[kColumnEnabled].check, 1);
    EXPECT_EQ(ticked[kColumnEnabled].toolTip, "Enabled");
    EXPECT_EQ(ticked[kColumnEnabled].text, "");
    EXPECT_EQ(ticked[kColumnUnitName].text, "PRN-LAB");
    EXPECT_EQ(ticked[kColumnUnitName].toolTip, "PRN-LAB");
    EXPECT_EQ(ticked[kColumnAddress].toolTip, "10.0.0.7");
    EXPECT_EQ(ticked[kColumnPortName].text, "IP_PRN");
    EXPECT_EQ(ticked[kColumnPrinterName].toolTip, "Lab printer");
    const auto& clear = list.rows[1];
    EXPECT_EQ(clear[kColumnEnabled].check, 0);
    EXPECT_EQ(clear[kColumnEnabled].toolTip, "Disabled");
    EXPECT_EQ(clear[kColumnUnitName].text, "10.0.0.8");
    EXPECT_EQ(clear[kColumnPortName].text, "");
    EXPECT_EQ(clear[kColumnConfirm].text, "");
}

TEST_F(SelectorFlowTest, TickProposesTheUnitNameAndCreatesThenSearchesAgain)
{
    AddDevice(AddressFromBytes(10, 0, 0, 7), "", "PRN1");
    editor.typedPortName = "IP_PRN1";
    EXPECT_EQ(Click(0), kTickKept);
    EXPECT_EQ(editor.shownPortName, "PRN1");
    EXPECT_EQ(editor.shownPrinterName, "PRN1");
    EXPECT_EQ(editor.shownPortList, &setup.portNames);
    EXPECT_EQ(setup.calls.back(), "create PRN1 IP_PRN1 PRN1") << "the host is the default name, not the typed one";
    EXPECT_EQ(searches, 1);
}

TEST_F(SelectorFlowTest, DefaultNameFallsBackToTheAddress)
{
    AddDevice(AddressFromBytes(10, 0, 0, 7), "", "");
    Click(0);
    EXPECT_EQ(editor.shownPortName, "10.0.0.7");
}

TEST_F(SelectorFlowTest, CancelAndRefusalTakeTheTickBackWithoutSearching)
{
    AddDevice(AddressFromBytes(10, 0, 0, 7), "prn-lab", "");
    editor.pressOk = false;
    EXPECT_EQ(Click(0), kTickTakenBack);
    EXPECT_EQ(list.rows[0][0].check, 0);
    EXPECT_EQ(setup.calls.size(), 1u) << "only the row's port look-up; nothing created";

    editor.pressOk = true;
    setup.outcome = CreateOutcome::Refused;
    EXPECT_EQ(Click(0), kTickTakenBack);
    EXPECT_EQ(list.rows[0][0].check, 0);
    EXPECT_EQ(searches, 0);
}

TEST_F(SelectorFlowTest, MissingMonitorLeavesTheTickAndRunsNoSearch)
{
    AddDevice(AddressFromBytes(10, 0, 0, 7), "prn-lab", "");
    editor.pressOk = true;
    setup.outcome = CreateOutcome::Unavailable;
    EXPECT_EQ(Click(0), kTickKept);
    EXPECT_EQ(list.rows[0][0].check, 1);
    EXPECT_EQ(searches, 0);
}

TEST_F(SelectorFlowTest, ClearingDeletesTheQueueNamedInTheRowAndSearchesAgain)
{
    setup.ports["PRN-LAB"] = {true, "IP_PRN", "Lab printer"};
    AddDevice(AddressFromBytes(10, 0, 0, 7), "PRN-LAB", "");
    EXPECT_EQ(Click(0), kTickKept);
    EXPECT_EQ(setup.calls.back(), "delete Lab printer");
    EXPECT_EQ(searches, 1);
}

TEST_F(SelectorFlowTest, WithoutASetupLayerEveryClickIsUndone)
{
    layer = SetupLayer{};
    AddDevice(AddressFromBytes(10, 0, 0, 7), "prn-lab", "");
    EXPECT_EQ(list.rows[0][0].check, 0);
    EXPECT_EQ(list.rows[0][0].toolTip, "Disabled");
    EXPECT_EQ(Click(0), kTickTakenBack);
    EXPECT_EQ(list.rows[0][0].check, 0);
    list.rows[0][0].check = 1;
    EXPECT_EQ(Click(0), kTickTakenBack);
    EXPECT_EQ(list.rows[0][0].check, 1);
    EXPECT_EQ(searches, 0);
}

TEST_F(SelectorFlowTest, RowTheTableDoesNotHoldIsTakenBack)
{
    list.AppendRow();
    list.rows[0][0].check = 0;
    EXPECT_EQ(Click(0), kTickTakenBack);
    EXPECT_EQ(list.rows[0][0].check, 0);
    EXPECT_TRUE(setup.calls.empty());
}

}  // namespace
