// Stand-in for the USB transport until it is built: no scanner is ever
// reachable, so MSG_ENABLEDS answers TWCC_CHECKDEVICEONLINE. The open that
// the probe attempts is balanced by the caller's closeScanner.
#include <windows.h>

int openScanner()
{
    return 101;
}

int closeScanner()
{
    return 1;
}

int checkScannerReachable()
{
    return 0;
}

// Reads nothing: there is no device.
extern "C" int WINAPI UsbIn()
{
    return 0;
}
