#pragma once
// The transport as the command protocol uses it: open and close the scanner
// and move bytes. UsbTransportCore is the real one; tests script their own.
#include <cstdint>

class ScannerLink {
public:
    virtual ~ScannerLink() = default;
    virtual int open() = 0;   // 100, 101 or 113
    virtual int close() = 0;  // nonzero, or 0 when closing a handle failed
    virtual int write(const uint8_t* data, uint32_t length) = 0;  // 1000 or 1002
    virtual int read(uint8_t* dst, uint32_t length) = 0;          // 1000 or 1002
    // Forgets what was buffered or left unsent and reads what the device
    // still sends until it stays silent, so that the next command's reply
    // is the first byte read. Done at every open and after a failed or
    // cancelled scan.
    virtual void purge() = 0;
    // System error code of the last failed read or write.
    virtual uint32_t lastError() const = 0;
};
