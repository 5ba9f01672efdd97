#pragma once
// What the selector window does with a found device and with a click on a
// row's tick, written against the list and the setup layer so it can be
// tested without windows or a spooler.

#include <functional>
#include <string>

#include "DeviceTable.h"
#include "setup/PrinterSetup.h"

// The operations of the checkbox list that the selector relies on.
class SelectorList {
public:
    virtual ~SelectorList() = default;
    virtual int AppendRow() = 0;  // new row index, or -1
    virtual void SetItemText(int row, int column, const std::string& text) = 0;
    virtual void SetItemToolTipText(int row, int column, const std::string& text) = 0;
    virtual void SetCheckbox(int row, int column, int state) = 0;
    virtual int GetCheckbox(int row, int column) const = 0;
    virtual std::string GetItemText(int row, int column) const = 0;
};

// The printer-setup layer as the selector holds it; all null when the
// program has none (every tick is then taken back).
struct SetupLayer {
    PrinterSetup* setup = nullptr;
    PortNameEditor* editor = nullptr;
    SetupPrompts* prompts = nullptr;
};

inline constexpr int kTickKept = 0;
inline constexpr int kTickTakenBack = 2;

// Appends one row: unit name, address, and the tick with the existing
// port's and queue's names when the spooler already prints to the unit.
void AddDeviceRowTo(SelectorList& list, const SetupLayer& layer, const std::string& netbiosName,
                    const std::string& addressText, const std::string& dnsName);

// Handles a click that the list has already applied to (row, column).
// Ticked: asks for the names, creates the port and queue, searches again.
// Cleared: deletes the queue named in the row (asking first when jobs are
// waiting), searches again. Whatever cannot be done is told to the user; a
// tick that made nothing, and a queue the user kept, are undone at once
// (kTickTakenBack), a refused deletion by the search that follows.
int HandleCheckboxClick(int row, int column, SelectorList& list, const DeviceTable& devices,
                        const SetupLayer& layer, const std::function<void()>& searchAgain);
