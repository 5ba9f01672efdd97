#include "ui/LargeImageDialog.h"

#include "twain/CallBoundary.h"
#include "twain/Localization.h"

namespace {

constexpr UINT kWarningCaption = 1077;  // IDS_Warning_Caption
constexpr int kTextBufferBytes = 1024;

INT_PTR handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: {
        SetWindowLongPtrA(window, DWLP_USER, lParam);
        alignas(WCHAR) char title[kTextBufferBytes] = {};
        if (LoadLocalizedString(kWarningCaption, title, sizeof title) != -1)
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
            if (HIWORD(wParam) == BN_CLICKED) {
                auto* writer = reinterpret_cast<const DontAskWriter*>(GetWindowLongPtrA(window, DWLP_USER));
                if (writer && *writer)
                    (*writer)(IsDlgButtonChecked(window, IDC_WARNING_NOSHOW) == BST_CHECKED);
            }
            return TRUE;
        default:
            return FALSE;
        }
    default:
        return FALSE;
    }
}

// A failure inside ends the dialog as one that could not be shown (-1).
INT_PTR CALLBACK largeImageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return callAtBoundary([&] { return handleMessage(window, message, wParam, lParam); },
                          [window](BoundaryFailure) -> INT_PTR {
                              EndDialog(window, -1);
                              return TRUE;
                          });
}

}  // namespace

INT_PTR showLargeImageWarning(HWND owner, const DontAskWriter& writeDontAsk)
{
    LPARAM writer = reinterpret_cast<LPARAM>(&writeDontAsk);
    if (ansiMode)
        return DialogBoxParamA(dllInstance, MAKEINTRESOURCEA(IDD_DLG_WARNLARGE_DBCS), owner, largeImageProc, writer);
    return DialogBoxParamW(dllInstance, MAKEINTRESOURCEW(IDD_DLG_WARNLARGE_UNICODE), owner, largeImageProc, writer);
}
