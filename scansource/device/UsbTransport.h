#pragma once
// The scanner's USB pipes for the rest of the source. Every openScanner,
// successful or not, is balanced by exactly one closeScanner.
#include <cstdint>

// 100 open, 101 no usable device, 113 another application holds the scanner.
int openScanner();
// Nonzero, or 0 when closing a handle failed.
int closeScanner();
// 1 when the scanner can be opened; otherwise 0 after telling the user why,
// leaving the failed open for the caller to balance with closeScanner.
int checkScannerReachable();
// 1000 when every byte went out / arrived, 1002 otherwise.
int USBWrite(const uint8_t* data, uint32_t length);
int USBRead(uint8_t* dst, uint32_t length);
