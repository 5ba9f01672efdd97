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
    CreateResult created{CreateOutcome::Created};
    DeleteResult deleted{DeleteOutcome::Deleted};
    std::uint32_t waitingJobs = 0;
    std::vector<std::string> calls;
    NamesInUse inUse{{"IP_10.0.0.9"}, {"Office"}};

    int EnumerateTcpPorts() override { return 0; }
    PortMatch FindPortForUnit(const std::string& unitName) override
    {
        calls.push_back("find " + unitName);
        const auto found = ports.find(unitName);
        return found == ports.end() ? PortMatch{} : found->second;
    }
    NamesInUse NamesInUseFor(const std::string& host) override
    {
        calls.push_back("names for " + host);
        return inUse;
    }
    CreateResult CreatePrinterForDevice(const std::string& host, const std::string& port,
                                        const std::string& printer) override
    {
        calls.push_back("create " + host + " " + port + " " + printer);
        return created;
    }
    DeleteResult DeletePrinterQueue(const std::string& printerName,
                                    const std::function<bool(std::uint32_t)>& confirmPurge) override
    {
        calls.push_back("delete " + printerName);
        if (waitingJobs > 0 && !confirmPurge(waitingJobs)) {
            return {DeleteOutcome::Declined};
        }
        return deleted;
    }
};

class FakeEditor : public PortNameEditor {
public:
    bool pressOk = true;
    std::optional<std::string> typedPortName;
    std::string shownPortName, shownPrinterName;
    NamesInUse shownNames;

    bool Edit(std::string& portName, std::string& printerName, const NamesInUse& inUse) override
    {
        shownPortName = portName;
        shownPrinterName = printerName;
        shownNames = inUse;
        if (typedPortName) {
            portName = *typedPortName;
        }
        return pressOk;
    }
};

class FakePrompts : public SetupPrompts {
public:
    bool answerYes = false;
    std::vector<std::string> shown;
    std::vector<std::string> asked;

    void ShowRefusal(const std::string& text) override { shown.push_back(text); }
    bool Confirm(const std::string& question) override
    {
        asked.push_back(question);
        return answerYes;
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
    FakePrompts prompts;
    SetupLayer layer{&setup, &editor, &prompts};
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
    EXPECT_EQ(editor.shownNames.ports, setup.inUse.ports);
    EXPECT_EQ(setup.calls[setup.calls.size() - 2], "names for PRN1");
    EXPECT_EQ(setup.calls.back(), "create PRN1 IP_PRN1 PRN1") << "the host is the default name, not the typed one";
    EXPECT_EQ(searches, 1);
}

TEST_F(SelectorFlowTest, DefaultNameFallsBackToTheAddress)
{
    AddDevice(AddressFromBytes(10, 0, 0, 7), "", "");
    Click(0);
    EXPECT_EQ(editor.shownPortName, "10.0.0.7");
}

TEST_F(SelectorFlowTest, CancelTakesTheTickBackWithoutAWord)
{
    AddDevice(AddressFromBytes(10, 0, 0, 7), "prn-lab", "");
    editor.pressOk = false;
    EXPECT_EQ(Click(0), kTickTakenBack);
    EXPECT_EQ(list.rows[0][0].check, 0);
    EXPECT_EQ(setup.calls.size(), 2u) << "the row's port look-up and the names in use; nothing created";
    EXPECT_TRUE(prompts.shown.empty());
    EXPECT_EQ(searches, 0);
}

// Without administrator rights the monitor, the port or the queue is
// refused; the user is told what to do and the row is left unticked.
TEST_F(SelectorFlowTest, EveryRefusalIsShownAndLeavesTheRowUnticked)
{
    const struct {
        CreateResult result;
        const char* saysWhat;
    } cases[] = {
        {{CreateOutcome::Unavailable, 5}, "Run as administrator"},
        {{CreateOutcome::Refused, 5}, "Run as administrator"},
        {{CreateOutcome::PortElsewhere, 183}, "choose another port name"},
        {{CreateOutcome::QueueRefused, 1797, true}, "The port made for it has been removed again"},
        {{CreateOutcome::QueueRefused, 1801, true}, "choose another printer name"},
    };
    AddDevice(AddressFromBytes(10, 0, 0, 7), "prn-lab", "");
    for (const auto& c : cases) {
        prompts.shown.clear();
        setup.created = c.result;
        EXPECT_EQ(Click(0), kTickTakenBack);
        EXPECT_EQ(list.rows[0][0].check, 0);
        ASSERT_EQ(prompts.shown.size(), 1u);
        EXPECT_NE(prompts.shown[0].find(c.saysWhat), std::string::npos) << prompts.shown[0];
    }
    EXPECT_EQ(searches, 0);

    // Clearing the box again finds no queue in the row and deletes nothing.
    list.rows[0][0].check = 1;
    EXPECT_EQ(Click(0), kTickKept);
    EXPECT_EQ(setup.calls.back().rfind("delete", 0), std::string::npos) << setup.calls.back();
    EXPECT_EQ(searches, 1);
}

// No keeps the queue, its jobs and its tick. A refused deletion is shown,
// and so is a queue deleted meanwhile by someone else; the search that
// follows shows which. Yes deletes and searches again.
TEST_F(SelectorFlowTest, UntickingAsksBeforeJobsAreThrownAwayAndShowsRefusals)
{
    setup.ports["PRN-LAB"] = {true, "IP_PRN", "Lab printer"};
    setup.waitingJobs = 2;
    AddDevice(AddressFromBytes(10, 0, 0, 7), "PRN-LAB", "");
    EXPECT_EQ(Click(0), kTickTakenBack);
    EXPECT_EQ(list.rows[0][0].check, 1);
    ASSERT_EQ(prompts.asked.size(), 1u);
    EXPECT_NE(prompts.asked[0].find("\"Lab printer\" still has 2 documents"), std::string::npos) << prompts.asked[0];
    EXPECT_EQ(searches, 0);

    prompts.answerYes = true;
    const struct {
        DeleteResult result;
        const char* saysWhat;
    } refusals[] = {
        {{DeleteOutcome::NotOpened, 5}, "Run as administrator"},
        {{DeleteOutcome::NotOpened, 1801}, "\"Lab printer\" does not exist any more"},
    };
    for (const auto& refusal : refusals) {
        prompts.shown.clear();
        list.rows[0][0].check = 1;
        setup.deleted = refusal.result;
        EXPECT_EQ(Click(0), kTickKept);
        ASSERT_EQ(prompts.shown.size(), 1u);
        EXPECT_NE(prompts.shown[0].find(refusal.saysWhat), std::string::npos) << prompts.shown[0];
    }
    EXPECT_EQ(searches, 2) << "the row is shown again as the spooler has it";

    list.rows[0][0].check = 1;
    setup.deleted = {DeleteOutcome::Deleted};
    EXPECT_EQ(Click(0), kTickKept);
    EXPECT_EQ(searches, 3);
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
