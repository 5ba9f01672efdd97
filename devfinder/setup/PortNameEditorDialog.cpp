#include "PortNameEditorDialog.h"

#include "PortNameEditorIds.h"

namespace {

const COLORREF kMessageColour = RGB(255, 0, 0);
const NamesInUse kNoNames;

std::string ControlText(HWND window, int id) {
    HWND control = GetDlgItem(window, id);
    int length = GetWindowTextLengthA(control);
    if (length <= 0) return {};
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    int copied = GetWindowTextA(control, text.data(), length + 1);
    text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
    return text;
}

}  // namespace

INT_PTR CDlgEditPortName::DoModal() {
    return DialogBoxParamA(resources_, MAKEINTRESOURCEA(IDD_EDIT_PORT_NAME), owner_, DialogProc,
                           reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK CDlgEditPortName::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrA(window, DWLP_USER, lParam);
        reinterpret_cast<CDlgEditPortName*>(lParam)->window_ = window;
    }
    auto* dialog = reinterpret_cast<CDlgEditPortName*>(GetWindowLongPtrA(window, DWLP_USER));
    return dialog ? dialog->HandleMessage(message, wParam, lParam) : FALSE;
}

INT_PTR CDlgEditPortName::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        WriteControls();
        return TRUE;
    case WM_CTLCOLORSTATIC:
        return OnControlColour(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
            OnOk();
            return TRUE;
        case IDCANCEL:
            EndDialog(window_, IDCANCEL);
            return TRUE;
        }
        break;
    }
    return FALSE;
}

void CDlgEditPortName::WriteControls() {
    SetDlgItemTextA(window_, IDC_EDIT_PORT_NAME_PORT, portName.c_str());
    SetDlgItemTextA(window_, IDC_EDIT_PORT_NAME_PRINTER, printerName.c_str());
    SetDlgItemTextA(window_, IDC_EDIT_PORT_NAME_MESSAGE, "");
}

void CDlgEditPortName::ReadControls() {
    portName = ControlText(window_, IDC_EDIT_PORT_NAME_PORT);
    printerName = ControlText(window_, IDC_EDIT_PORT_NAME_PRINTER);
}

void CDlgEditPortName::OnOk() {
    ReadControls();
    SetDlgItemTextA(window_, IDC_EDIT_PORT_NAME_MESSAGE, "");
    PortNameRefusal refusal = CheckPortNames(portName, printerName, namesInUse ? *namesInUse : kNoNames, text_);
    if (refusal != PortNameRefusal::None) {
        ShowMessage(refusal);
        return;
    }
    ReadControls();
    EndDialog(window_, IDOK);
}

void CDlgEditPortName::ShowMessage(PortNameRefusal refusal) {
    char text[512] = "";
    LoadStringA(resources_, static_cast<UINT>(refusal), text, sizeof text);
    SetDlgItemTextA(window_, IDC_EDIT_PORT_NAME_MESSAGE, text);
}

INT_PTR CDlgEditPortName::OnControlColour(HDC dc, HWND control) {
    if (GetDlgCtrlID(control) != IDC_EDIT_PORT_NAME_MESSAGE) return FALSE;
    // The dialog's usual colours and brush, with red text over them.
    auto brush = static_cast<INT_PTR>(DefWindowProcA(window_, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                                     reinterpret_cast<LPARAM>(control)));
    SetTextColor(dc, kMessageColour);
    SetBkMode(dc, TRANSPARENT);
    return brush;
}

bool DialogPortNameEditor::Edit(std::string& portName, std::string& printerName, const NamesInUse& inUse) {
    // Without an owner given, the window the user is working in owns the
    // editor, so it stays disabled while the editor is open.
    CDlgEditPortName dialog(resources_, owner_ ? owner_ : GetActiveWindow());
    dialog.portName = portName;
    dialog.printerName = printerName;
    dialog.namesInUse = &inUse;
    if (dialog.DoModal() != IDOK) return false;
    portName = dialog.portName;
    printerName = dialog.printerName;
    return true;
}
