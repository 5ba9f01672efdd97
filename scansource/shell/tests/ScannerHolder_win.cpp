// Opens the scanner and keeps it until told to let go, so that a test can
// try the scanner from a second process.
//   scanner_holder <ready event> <release event>
#include "UsbTransport.h"

#include <windows.h>

int main(int argc, char** argv)
{
    if (argc != 3)
        return 2;
    HANDLE ready = OpenEventA(EVENT_MODIFY_STATE, FALSE, argv[1]);
    HANDLE release = OpenEventA(SYNCHRONIZE, FALSE, argv[2]);
    if (!ready || !release)
        return 3;
    int opened = openScanner();
    if (opened == 100)
        SetEvent(ready);
    WaitForSingleObject(release, 60000);
    closeScanner();
    return opened == 100 ? 0 : 1;
}
