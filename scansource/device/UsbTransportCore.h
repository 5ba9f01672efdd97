#pragma once
// Finds the scanner among the still-image device files, holds its two bulk
// pipes under the inter-process access mutex and moves bytes through the
// send and receive rings.
#include "AccessMutex.h"
#include "ByteRing.h"
#include "DeviceFiles.h"
#include "ScannerLink.h"
#include "UsbDeviceIds.h"

#include <string>

struct UsbIdentity {
    uint16_t vendorId = kScannerVendorId;
    uint16_t primaryProductId = kScannerPrimaryProductId;
    uint16_t secondaryProductId = kScannerSecondaryProductId;
};

constexpr int kDeviceFileCandidates = 127;
constexpr uint32_t kReceiveTransferSize = 1024;
constexpr uint32_t kSendChunkLimit = 4096;
constexpr uint32_t kMutexWaitMilliseconds = 1000;
// Every bulk transfer waits at most this long, so that a silent scanner
// hands control back to the scan's message pump at least once a second.
constexpr uint32_t kTransferTimeoutMilliseconds = 1000;
// A purge reads until the device has said nothing for this long ...
constexpr uint32_t kPurgeTimeoutMilliseconds = 200;
// ... or this much has been thrown away (a device streaming on for ever).
constexpr uint32_t kPurgeLimitBytes = 8u << 20;
// A device may end a transfer with an empty packet: this many empty
// transfers in a row are read back to back; after them the reader pauses
// between transfers and gives up, as for a time-out, once the pauses add up
// to a transfer time-out.
constexpr int kEmptyTransfersInStride = 2;
constexpr uint32_t kEmptyTransferPauseMilliseconds = 10;

// "\\.\Usbscan<n>\<pipe>": pipe 0 is bulk-in (and the descriptor), 1 bulk-out.
std::string usbscanDeviceName(int index, int pipe);
// The access mutex of a device file: a fixed prefix plus the file name, with
// every backslash made a dollar sign (mutex names cannot hold backslashes).
std::string scannerAccessMutexName(const std::string& deviceFileName);

class UsbTransportCore : public ScannerLink {
public:
    using ReceiveRing = ByteRing<2048>;
    using SendRing = ByteRing<8192>;

    UsbTransportCore(DeviceFiles& files, SystemMutexes& mutexes, UsbIdentity identity = {});
    // Closes the pipes and gives up the access mutex whatever the use count:
    // the library is being unloaded, perhaps in the middle of a scan.
    ~UsbTransportCore() override;
    UsbTransportCore(const UsbTransportCore&) = delete;
    UsbTransportCore& operator=(const UsbTransportCore&) = delete;

    int open() override;
    int close() override;
    int write(const uint8_t* data, uint32_t length) override;
    int read(uint8_t* dst, uint32_t length) override;
    void purge() override;
    uint32_t lastError() const override { return lastError_; }

    // One bulk-in transfer into the receive ring for callers outside the
    // source; 1 without reading when the ring cannot take a whole transfer.
    int usbIn();

    int useCount() const { return useCount_; }
    bool holdsMutex() const { return mutex_ != kNoMutex; }
    bool pipesOpen() const { return receive_ != kInvalidDevice && send_ != kInvalidDevice; }
    uint32_t bufferedReceiveBytes() const { return receiveRing_.used(); }
    uint32_t pendingSendBytes() const { return sendRing_.used(); }

private:
    int openUsbScanDevice(uint16_t vendorId, uint16_t productId);
    void startSession();
    bool matchDeviceDescriptor(uint16_t vendorId, uint16_t productId);
    bool acquireAccessMutex(const std::string& deviceFileName);
    bool drainSendRing(bool moreDataFollows);
    bool closeDevice(DeviceHandle& handle);
    int closeDeviceAndMutex();

    DeviceFiles& files_;
    SystemMutexes& mutexes_;
    UsbIdentity identity_;

    int32_t useCount_ = 0;
    int openResult_ = 0;  // of the outermost open, answered to nested ones
    DeviceHandle probe_ = kInvalidDevice;
    DeviceHandle receive_ = kInvalidDevice;
    DeviceHandle send_ = kInvalidDevice;
    MutexHandle mutex_ = kNoMutex;
    uint32_t lastError_ = 0;
    // Whether the next session must read off what the device's pipe still
    // holds: the first one, and one after a session in which a transfer
    // failed or bytes were left over. The driver's time-outs are whole
    // seconds, so reading an empty pipe costs a second an open.
    bool drainAtOpen_ = true;

    ReceiveRing receiveRing_;
    SendRing sendRing_;
    uint8_t receiveStaging_[kReceiveTransferSize] = {};
    uint8_t sendStaging_[kSendChunkLimit] = {};
};
