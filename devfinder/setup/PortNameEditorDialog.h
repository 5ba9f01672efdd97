#pragma once
// CDlgEditPortName, the Port Name Editor (dialog 2005): asks for the names
// of the new port and queue, and keeps OK back until both pass the checks,
// saying why in a red line inside the dialog.

#include <windows.h>

#include <string>
#include <vector>

#include "PortNameChecks.h"
#include "PrinterSetup.h"
#include "Win32AnsiText.h"

class CDlgEditPortName {
public:
    // The message texts come from `resources`' string table.
    CDlgEditPortName(HINSTANCE resources, HWND owner) : resources_(resources), owner_(owner) {}

    std::string portName;
    std::string printerName;
    const NamesInUse* namesInUse = nullptr;

    // IDOK with both names read back, or IDCANCEL.
    INT_PTR DoModal();

private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void WriteControls();
    void ReadControls();
    void OnOk();
    void ShowMessage(PortNameRefusal refusal);
    INT_PTR OnControlColour(HDC dc, HWND control);

    HINSTANCE resources_;
    HWND owner_;
    HWND window_ = nullptr;
    Win32AnsiText text_;
};

// The editor as the selector window uses it; a null owner means the active window at the time of editing.
class DialogPortNameEditor : public PortNameEditor {
public:
    DialogPortNameEditor(HWND owner, HINSTANCE resources) : owner_(owner), resources_(resources) {}
    bool Edit(std::string& portName, std::string& printerName, const NamesInUse& inUse) override;

private:
    HWND owner_;
    HINSTANCE resources_;
};
