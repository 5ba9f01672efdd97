// devfinder: finds the family's network printers and sets up print queues for them.
#include <winsock2.h>
#include <windows.h>
#include <commctrl.h>

#include "SelectorApp.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    INITCOMMONCONTROLSEX classes = {sizeof(classes), ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&classes);
    CSelectorApp app;
    return app.Run(instance);
}
