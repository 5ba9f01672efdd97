// The scanner's data stream as readScanReply sees it through the real
// transport: any bytes, cut into bulk-in transfers of any size. Every answer
// is a known result code; a data block's payload is exactly the bytes that
// followed its header, never longer than the receive buffer; reading stops
// at the first answer that is not a data block.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "../tests/DeviceFakes.h"
#include "FuzzCheck.h"
#include "ScanReplyResult.h"
#include "ScannerProtocol.h"
#include "UsbTransportCore.h"

namespace {

class SilentNotices : public DeviceNotices {
public:
    void trace(const char* text) override { FUZZ_CHECK(text != nullptr, "a null trace text"); }
    void showWarning(unsigned, bool) override {}
    void traceWarningValue(unsigned, int) override {}
    std::string systemErrorText(uint32_t) override { return {}; }
};

bool isKnownResult(int result)
{
    return result >= SCAN_REPLY_SUCCESS && result <= SCAN_REPLY_IN_USE;
}

}  // namespace

// Input: byte 0 picks the transfer sizes (1..1024, cycling), byte 1 whether
// the device times out or fails when it has nothing more; the rest is what
// the device sends.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    const uint8_t sizeChoice = data[0];
    FakeDeviceFiles files;
    files.plug(0, kScannerVendorId, kScannerPrimaryProductId);
    files.readError = data[1] & 1 ? kErrorTimeout : 31;
    FakeMutexes mutexes;
    UsbTransportCore transport(files, mutexes);
    SilentNotices notices;
    ScannerProtocol protocol(transport, notices);
    FUZZ_CHECK(transport.open() == SCAN_REPLY_SUCCESS, "the fake scanner did not open");
    // Delivered after the open, whose purge would read it off.
    const uint8_t* stream = data + 2;
    const size_t streamSize = size - 2;
    for (size_t at = 0, n = 0; at < streamSize; ++n) {
        size_t length = 1 + (sizeChoice * (n + 7) * 37) % 1024;
        if (length > streamSize - at)
            length = streamSize - at;
        files.deliver(std::vector<uint8_t>(stream + at, stream + at + length));
        at += length;
    }

    std::vector<uint8_t> buffer(kMaxScanPayload + 1, 0xA5);
    size_t consumed = 0;
    for (int block = 0; block < 256; ++block) {
        int payloadLength = -1;
        const int result = protocol.readScanReply(&payloadLength, buffer.data());
        FUZZ_CHECK(isKnownResult(result), "an unknown result code");
        FUZZ_CHECK(buffer[kMaxScanPayload] == 0xA5, "a reply written past the receive buffer");
        if (result != SCAN_REPLY_SUCCESS) {
            FUZZ_CHECK(payloadLength == 0, "a failed read that reports a payload");
            break;
        }
        FUZZ_CHECK(payloadLength >= 0 && payloadLength <= kMaxScanPayload, "a payload beyond the receive buffer");
        FUZZ_CHECK(stream[consumed + 1] == 's' && stream[consumed + 2] == 'd', "success for a header that is not a data block");
        consumed += 8;
        FUZZ_CHECK(consumed + static_cast<size_t>(payloadLength) <= streamSize, "a payload the device never sent");
        FUZZ_CHECK(std::memcmp(buffer.data(), stream + consumed, static_cast<size_t>(payloadLength)) == 0,
                   "a payload that differs from what followed its header");
        consumed += static_cast<size_t>(payloadLength);
    }
    transport.close();
    return 0;
}
