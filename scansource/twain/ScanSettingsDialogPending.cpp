// The scan settings window's procedure until the window's own behaviour is
// built: it localises the controls, Scan signals the transfer and Exit asks
// the application to close the source.
#include "ScanWindowHost.h"

#include "Localization.h"
#include "ManagerNotifications.h"
#include "SourceContext.h"
#include "resource.h"

INT_PTR CALLBACK ScanSettingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        LocalizeDialogControls(dialog);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_BUTTON_SCAN && sourceState() == StateEnabled) {
            NotifyXferReady();
            return TRUE;
        }
        if (LOWORD(wParam) == IDC_BUTTON_EXIT) {
            NotifyCloseDsRequest();
            return TRUE;
        }
        break;
    }
    return FALSE;
}
