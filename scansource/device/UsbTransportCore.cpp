#include "UsbTransportCore.h"

#include "ScanReplyResult.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {
constexpr uint32_t kErrorInvalidParameter = 87;
}

std::string usbscanDeviceName(int index, int pipe)
{
    char name[32];
    std::snprintf(name, sizeof name, "\\\\.\\Usbscan%d\\%d", index, pipe);
    return name;
}

std::string scannerAccessMutexName(const std::string& deviceFileName)
{
    std::string name = "Calder-Scanner-Access-Mutex-" + deviceFileName;
    std::replace(name.begin(), name.end(), '\\', '$');
    return name;
}

UsbTransportCore::UsbTransportCore(DeviceFiles& files, SystemMutexes& mutexes, UsbIdentity identity)
    : files_(files), mutexes_(mutexes), identity_(identity)
{
}

UsbTransportCore::~UsbTransportCore()
{
    closeDeviceAndMutex();
}

int UsbTransportCore::open()
{
    // A nested open shares the outer one's pipes, or its failure: an outer
    // open that found no scanner is still failed until it is balanced.
    if (useCount_ > 0) {
        ++useCount_;
        return openResult_;
    }
    // Counted before the device is tried: the caller balances even a failed
    // open with one close.
    ++useCount_;
    openResult_ = openUsbScanDevice(identity_.vendorId, identity_.primaryProductId);
    if (openResult_ != SCAN_REPLY_SUCCESS && openResult_ != SCAN_REPLY_IN_USE)
        openResult_ = openUsbScanDevice(identity_.vendorId, identity_.secondaryProductId);
    if (openResult_ == SCAN_REPLY_SUCCESS)
        startSession();
    return openResult_;
}

// Every session starts on a clean link: nothing an earlier failure left in
// the rings or in the device's pipe can be taken for a reply, since replies
// are matched only by their order. A session that ended cleanly left the
// pipe empty, and reading that is not worth a second of every open.
void UsbTransportCore::startSession()
{
    files_.setTransferTimeout(send_, kTransferTimeoutMilliseconds);
    bool drain = drainAtOpen_;
    drainAtOpen_ = false;
    if (drain) {
        purge();
    } else {
        sendRing_.clear();
        receiveRing_.clear();
        files_.setTransferTimeout(receive_, kTransferTimeoutMilliseconds);
    }
}

void UsbTransportCore::purge()
{
    sendRing_.clear();
    receiveRing_.clear();
    if (!pipesOpen())
        return;
    files_.setTransferTimeout(receive_, kPurgeTimeoutMilliseconds);
    for (uint32_t discarded = 0; discarded < kPurgeLimitBytes;) {
        uint32_t received = 0;
        if (!files_.read(receive_, receiveStaging_, kReceiveTransferSize, &received) || received == 0)
            break;
        discarded += std::min(received, kReceiveTransferSize);
    }
    files_.setTransferTimeout(receive_, kTransferTimeoutMilliseconds);
}

int UsbTransportCore::openUsbScanDevice(uint16_t vendorId, uint16_t productId)
{
    int result = SCAN_REPLY_SUCCESS;
    for (int index = 0; index < kDeviceFileCandidates; ++index) {
        std::string inName = usbscanDeviceName(index, 0);
        probe_ = files_.open(inName.c_str(), DeviceAccess::readWrite);
        if (probe_ == kInvalidDevice)
            continue;
        if (!matchDeviceDescriptor(vendorId, productId)) {
            closeDevice(probe_);
            continue;
        }
        if (!acquireAccessMutex(inName)) {
            closeDevice(probe_);
            return SCAN_REPLY_IN_USE;
        }
        if (receive_ != kInvalidDevice && !closeDevice(receive_))
            result = SCAN_REPLY_DEVICE_ERROR;
        receive_ = files_.open(inName.c_str(), DeviceAccess::readOnly);
        std::string outName = usbscanDeviceName(index, 1);
        if (send_ != kInvalidDevice && !closeDevice(send_))
            result = SCAN_REPLY_DEVICE_ERROR;
        send_ = files_.open(outName.c_str(), DeviceAccess::readWrite);
        closeDevice(probe_);
        break;
    }
    if (pipesOpen())
        return result;
    if (receive_ != kInvalidDevice)
        closeDevice(receive_);
    if (send_ != kInvalidDevice)
        closeDevice(send_);
    return SCAN_REPLY_DEVICE_ERROR;
}

bool UsbTransportCore::matchDeviceDescriptor(uint16_t vendorId, uint16_t productId)
{
    if (vendorId == 0 && productId == 0)
        return true;
    uint8_t descriptor[8] = {};
    if (!files_.readDescriptor(probe_, descriptor))
        return false;
    uint16_t vendor = static_cast<uint16_t>(descriptor[0] | descriptor[1] << 8);
    uint16_t product = static_cast<uint16_t>(descriptor[2] | descriptor[3] << 8);
    return vendor == vendorId && product == productId;
}

bool UsbTransportCore::acquireAccessMutex(const std::string& deviceFileName)
{
    if (mutex_ == kNoMutex) {
        std::string name = scannerAccessMutexName(deviceFileName);
        mutex_ = mutexes_.openExisting(name.c_str());
        if (mutex_ == kNoMutex) {
            mutex_ = mutexes_.createOwned(name.c_str());
            if (mutex_ == kNoMutex)
                return false;
            mutexes_.release(mutex_);
        }
    }
    if (mutexes_.wait(mutex_, kMutexWaitMilliseconds) != MutexWait::signalled) {
        mutexes_.close(mutex_);
        mutex_ = kNoMutex;
        return false;
    }
    return true;
}

bool UsbTransportCore::closeDevice(DeviceHandle& handle)
{
    bool closed = files_.close(handle);
    handle = kInvalidDevice;
    return closed;
}

int UsbTransportCore::close()
{
    --useCount_;
    if (useCount_ != 0)
        return 1;
    if (!receiveRing_.empty() || !sendRing_.empty())
        drainAtOpen_ = true;
    return closeDeviceAndMutex();
}

int UsbTransportCore::closeDeviceAndMutex()
{
    int result = 1;
    if (receive_ != kInvalidDevice)
        result = closeDevice(receive_) ? 1 : 0;
    if (send_ != kInvalidDevice)
        result = closeDevice(send_) ? 1 : 0;
    if (probe_ != kInvalidDevice)
        result = closeDevice(probe_) ? 1 : 0;
    if (mutex_ != kNoMutex) {
        mutexes_.release(mutex_);
        mutexes_.close(mutex_);
        mutex_ = kNoMutex;
    }
    return result;
}

int UsbTransportCore::write(const uint8_t* data, uint32_t length)
{
    bool ok = true;
    for (;;) {
        if (length == 0 && sendRing_.empty())
            return ok ? USB_OK : USB_FAILED;
        if (!ok)
            return USB_FAILED;
        uint32_t n = std::min(length, sendRing_.freeSpace());
        if (n > 0 && sendRing_.put(data, n)) {
            data += n;
            length -= n;
            ok = drainSendRing(length > 0);
            continue;
        }
        ok = drainSendRing(false);
        mutexes_.sleep(10);
    }
}

// Sends the ring's bytes in chunks of at most 4096 that are never a multiple
// of 64 long (a bulk transfer of whole packets would need a terminating
// short packet the device does not expect); the byte held back goes out with
// the next chunk. While the caller has more data for the ring, a short tail
// waits for it instead of leaving as a small write of its own.
bool UsbTransportCore::drainSendRing(bool moreDataFollows)
{
    if (sendRing_.empty())
        return true;
    for (;;) {
        uint32_t used = sendRing_.used();
        if (moreDataFollows && used < kSendChunkLimit)
            return true;
        uint32_t chunk = std::min(used, kSendChunkLimit);
        if (chunk % 64 == 0)
            chunk -= 1;
        if (!sendRing_.peek(sendStaging_, chunk))
            return true;
        uint32_t written = 0;
        bool wrote = files_.write(send_, sendStaging_, chunk, &written);
        if (!wrote) {
            lastError_ = files_.lastError();
            drainAtOpen_ = true;
            return false;
        }
        // A pipe that accepts nothing would keep this loop turning for ever.
        if (written == 0 || written > sendRing_.used()) {
            lastError_ = kErrorInvalidParameter;
            drainAtOpen_ = true;
            return false;
        }
        sendRing_.skip(written);
        if (sendRing_.empty())
            return true;
    }
}

int UsbTransportCore::read(uint8_t* dst, uint32_t length)
{
    // The ring can never hold more than its capacity: such a request would
    // wait for ever.
    if (length > ReceiveRing::capacity) {
        lastError_ = kErrorInvalidParameter;
        return USB_FAILED;
    }
    if (receiveRing_.peek(dst, length)) {
        receiveRing_.skip(length);
        return USB_OK;
    }
    // Short of the request: take what the ring holds and gather the rest
    // straight from the transfers. Waiting for room in the ring instead
    // would wait for ever once a short transfer left it too full for
    // another 1024 bytes but still short of a long data block.
    uint32_t have = receiveRing_.used();
    receiveRing_.peek(dst, have);
    receiveRing_.skip(have);
    int emptyTransfers = 0;
    uint32_t pausedMilliseconds = 0;
    while (have < length) {
        uint32_t received = 0;
        bool ok = files_.read(receive_, receiveStaging_, kReceiveTransferSize, &received);
        if (!ok)
            lastError_ = files_.lastError();
        if (ok && received == 0 && ++emptyTransfers > kEmptyTransfersInStride) {
            // A device that only ever answers with empty packets is as
            // silent as one that answers nothing.
            if (pausedMilliseconds >= kTransferTimeoutMilliseconds) {
                ok = false;
                lastError_ = kErrorTimeout;
            } else {
                mutexes_.sleep(kEmptyTransferPauseMilliseconds);
                pausedMilliseconds += kEmptyTransferPauseMilliseconds;
            }
        }
        if (!ok) {
            drainAtOpen_ = true;
            // What arrived stays buffered for the next call (it fits: the
            // ring was emptied and the request is shorter than its capacity).
            receiveRing_.put(dst, have);
            return USB_FAILED;
        }
        if (received > 0)
            emptyTransfers = 0;
        received = std::min(received, kReceiveTransferSize);
        const uint32_t taken = std::min(received, length - have);
        std::memcpy(dst + have, receiveStaging_, taken);
        have += taken;
        // Bytes beyond the request wait in the (empty) ring for the next call.
        receiveRing_.put(receiveStaging_ + taken, received - taken);
    }
    return USB_OK;
}

int UsbTransportCore::usbIn()
{
    if (receiveRing_.freeSpace() < kReceiveTransferSize)
        return 1;
    uint32_t received = 0;
    bool ok = files_.read(receive_, receiveStaging_, kReceiveTransferSize, &received);
    if (ok)
        receiveRing_.put(receiveStaging_, std::min(received, kReceiveTransferSize));
    else
        lastError_ = files_.lastError();
    drainAtOpen_ = drainAtOpen_ || !ok;
    return ok ? 1 : 0;
}
