#include "shell/windows/LargeImageDialog.h"

#include "StringIds.h"
#include "shell/Localization.h"
#include "shell/windows/DialogProcedure.h"

namespace {

constexpr int kTextBufferBytes = 1024;

class LargeImageDialog : public DialogObject {
public:
    explicit LargeImageDialog(const DontAskWriter& writeDontAsk) : writeDontAsk_(writeDontAsk) {}

    INT_PTR handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    // A failure inside ends the dialog as one that could not be shown (-1).
    INT_PTR answerAfterFailure(HWND window) override
    {
        EndDialog(window, -1);
        return TRUE;
    }

private:
    const DontAskWriter& writeDontAsk_;
};

INT_PTR LargeImageDialog::handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG: {
        alignas(WCHAR) char title[kTextBufferBytes] = {};
        if (LoadLocalizedString(IDS_WARNING_CAPTION, title, sizeof title) != -1)
            SetLocalizedWindowText(window, title);
        LocalizeDialogControls(window);
        return TRUE;
    }
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_WARNING_YES:
            EndDialog(window, kLargeImageScan);
            return TRUE;
        case IDC_WARNING_NO:
        case IDCANCEL:
            EndDialog(window, kLargeImageDoNotScan);
            return TRUE;
        case IDC_WARNING_NOSHOW:
            if (HIWORD(wParam) == BN_CLICKED && writeDontAsk_)
                writeDontAsk_(IsDlgButtonChecked(window, IDC_WARNING_NOSHOW) == BST_CHECKED);
            return TRUE;
        default:
            return FALSE;
        }
    default:
        return FALSE;
    }
}

}  // namespace

INT_PTR showLargeImageWarning(HWND owner, const DontAskWriter& writeDontAsk)
{
    LargeImageDialog dialog(writeDontAsk);
    LPARAM self = reinterpret_cast<LPARAM>(static_cast<DialogObject*>(&dialog));
    if (shellState().ansiMode)
        return DialogBoxParamA(shellState().instance, MAKEINTRESOURCEA(IDD_DLG_WARNLARGE_DBCS), owner, sourceDialogProcedure, self);
    return DialogBoxParamW(shellState().instance, MAKEINTRESOURCEW(IDD_DLG_WARNLARGE_UNICODE), owner, sourceDialogProcedure,
                           self);
}
