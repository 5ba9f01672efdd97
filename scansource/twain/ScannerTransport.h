#pragma once
// The scanner transport calls the entry makes (see device/UsbTransport.h):
// openScanner returns 100 on success; closeScanner returns 0 when the
// channel could not be closed; checkScannerReachable opens and closes the
// device, shows its own message and returns 0 when the scanner is missing.
int openScanner();
int closeScanner();
int checkScannerReachable();
