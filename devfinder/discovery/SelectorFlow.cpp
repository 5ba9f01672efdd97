#include "SelectorFlow.h"

#include "SelectorRows.h"

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

int CreateForRow(int row, SelectorList& list, const DeviceTable& devices, const SetupLayer& layer,
                 const std::function<void()>& searchAgain)
{
    std::string defaultName;
    if (!DefaultNameForRow(devices, row, defaultName)) {
        return TakeBack(list, row, kClear);
    }
    std::string portName = defaultName;
    std::string printerName = defaultName;
    if (!layer.editor->Edit(portName, printerName, layer.setup->PortNames(), layer.setup->PrinterNames())) {
        return TakeBack(list, row, kClear);
    }
    switch (layer.setup->CreatePrinterForDevice(defaultName, portName, printerName)) {
    case CreateOutcome::Created:
        searchAgain();
        return kTickKept;
    case CreateOutcome::Unavailable:
        // Without the port monitor nothing can be asked of the spooler; the
        // tick stays as the user left it and the next search shows the truth.
        return kTickKept;
    case CreateOutcome::Refused:
        break;
    }
    return TakeBack(list, row, kClear);
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
    layer.setup->DeletePrinterQueue(list.GetItemText(row, kColumnPrinterName));
    searchAgain();
    return kTickKept;
}
