#include "SelectorFlow.h"

#include "SelectorRows.h"
#include "setup/SetupMessages.h"

namespace {

constexpr int kClear = 0;
constexpr int kTicked = 1;

void SetTextAndTip(SelectorList& list, int row, int column, const std::string& text)
{
    list.SetItemText(row, column, text);
    list.SetItemToolTipText(row, column, text);
}

int TakeBack(SelectorList& list, int row, int restoredState)
{
    list.SetCheckbox(row, kColumnEnabled, restoredState);
    return kTickTakenBack;
}

void Tell(const SetupLayer& layer, const std::string& text)
{
    if (layer.prompts) {
        layer.prompts->ShowRefusal(text);
    }
}

int CreateForRow(int row, SelectorList& list, const DeviceTable& devices, const SetupLayer& layer,
                 const std::function<void()>& searchAgain)
{
    std::string defaultName;
    if (!DefaultNameForRow(devices, row, defaultName)) {
        return TakeBack(list, row, kClear);
    }
    std::string portName = defaultName;
    std::string printerName = defaultName;
    if (!layer.editor->Edit(portName, printerName, layer.setup->NamesInUseFor(defaultName))) {
        return TakeBack(list, row, kClear);
    }
    const CreateResult result = layer.setup->CreatePrinterForDevice(defaultName, portName, printerName);
    if (result.outcome == CreateOutcome::Created) {
        searchAgain();
        return kTickKept;
    }
    Tell(layer, CreateRefusalText(result, portName, printerName));
    return TakeBack(list, row, kClear);
}

int DeleteForRow(int row, SelectorList& list, const SetupLayer& layer, const std::function<void()>& searchAgain)
{
    const std::string printerName = list.GetItemText(row, kColumnPrinterName);
    if (printerName.empty()) {
        // No queue of ours to delete; the search shows what there is.
        searchAgain();
        return kTickKept;
    }
    const auto confirmPurge = [&](std::uint32_t jobs) {
        return layer.prompts && layer.prompts->Confirm(PurgeQuestion(printerName, jobs));
    };
    const DeleteResult result = layer.setup->DeletePrinterQueue(printerName, confirmPurge);
    switch (result.outcome) {
    case DeleteOutcome::Deleted:
        searchAgain();
        return kTickKept;
    case DeleteOutcome::Declined:
        return TakeBack(list, row, kTicked);
    case DeleteOutcome::ForeignDriver:
    case DeleteOutcome::NotOpened:
    case DeleteOutcome::Refused:
        break;
    }
    // The queue may have gone or changed since the row was made; the search
    // shows it as the spooler has it now.
    Tell(layer, DeleteRefusalText(result, printerName));
    searchAgain();
    return kTickKept;
}

}  // namespace

void AddDeviceRowTo(SelectorList& list, const SetupLayer& layer, const std::string& netbiosName,
                    const std::string& addressText, const std::string& dnsName)
{
    const int row = list.AppendRow();
    if (row < 0) {
        return;
    }
    const std::string unitName = UnitNameFor(dnsName, netbiosName, addressText);
    SetTextAndTip(list, row, kColumnUnitName, unitName);
    SetTextAndTip(list, row, kColumnAddress, addressText);
    PortMatch match;
    if (layer.setup) {
        match = layer.setup->FindPortForUnit(unitName);
    }
    if (match.found) {
        list.SetCheckbox(row, kColumnEnabled, kTicked);
        list.SetItemToolTipText(row, kColumnEnabled, "Enabled");
        SetTextAndTip(list, row, kColumnPortName, match.portName);
        SetTextAndTip(list, row, kColumnPrinterName, match.printerName);
    } else {
        list.SetCheckbox(row, kColumnEnabled, kClear);
        list.SetItemToolTipText(row, kColumnEnabled, "Disabled");
    }
}

int HandleCheckboxClick(int row, int column, SelectorList& list, const DeviceTable& devices,
                        const SetupLayer& layer, const std::function<void()>& searchAgain)
{
    const bool ticked = list.GetCheckbox(row, column) == kTicked;
    if (!layer.setup || (ticked && !layer.editor)) {
        return TakeBack(list, row, ticked ? kClear : kTicked);
    }
    if (ticked) {
        return CreateForRow(row, list, devices, layer, searchAgain);
    }
    return DeleteForRow(row, list, layer, searchAgain);
}
