#include "ScannerProtocol.h"

#include "DeviceFiles.h"
#include "StringIds.h"
#include "ScanReplyResult.h"

namespace {
constexpr uint8_t kDataBlock[] = {'s', 'd'};
constexpr uint8_t kStatusHeader[] = {'S', 'S'};
constexpr uint32_t kHeaderSize = 8;
}  // namespace

int ScannerProtocol::writeEscCommand(const CommandPacket& command)
{
    buffer_ = command;
    int written = link_.write(buffer_.data(), kHeaderSize);
    if (written != USB_OK) {
        notices_.trace("Failed on USBWrite in writeEscCommand");
        if (written == USB_FAILED)
            notices_.trace(("GetLastError = " + notices_.systemErrorText(link_.lastError())).c_str());
        return SCANCMD_TRANSPORT_FAILURE;
    }
    // What arrived of a reply before a time-out stays buffered in the
    // transport, so reading again takes up where it stopped.
    for (int attempt = 1; link_.read(buffer_.data(), kHeaderSize) != USB_OK; ++attempt) {
        if (attempt >= kCommandReplyAttempts || link_.lastError() != kErrorTimeout) {
            notices_.trace("Failed on USBRead in writeEscCommand");
            return SCANCMD_TRANSPORT_FAILURE;
        }
    }
    return buffer_[3];
}

int ScannerProtocol::sendEscCommandNoReply(const CommandPacket& command)
{
    buffer_ = command;
    return link_.write(buffer_.data(), kHeaderSize) == USB_OK ? 0 : SCANCMD_TRANSPORT_FAILURE;
}

int ScannerProtocol::startScanStream()
{
    pendingPayload_ = 0;
    CommandPacket start = makeCommand(CMD_START);
    return link_.write(start.data(), kHeaderSize);
}

int ScannerProtocol::readScanReply(int* payloadLength, uint8_t* buffer)
{
    *payloadLength = 0;
    if (pendingPayload_ == 0) {
        if (link_.read(buffer, kHeaderSize) != USB_OK) {
            if (link_.lastError() == kErrorTimeout)
                return SCAN_REPLY_TIMEOUT;
            notices_.trace("Failed on USBRead of a scan reply header");
            return SCAN_REPLY_BAD_HEADER;
        }
        if (buffer[1] == kStatusHeader[0] && buffer[2] == kStatusHeader[1]) {
            StatusMapping mapping = mapReplyStatus(buffer[3], buffer[4]);
            notices_.trace(mapping.trace);
            return mapping.result;
        }
        if (buffer[1] != kDataBlock[0] || buffer[2] != kDataBlock[1])
            return SCAN_REPLY_BAD_HEADER;
        int length = buffer[3] | buffer[4] << 8;
        // More than the receive ring can hold would never arrive whole; the
        // stream is out of step with the device.
        if (length > kMaxScanPayload) {
            notices_.trace("Scan data block longer than the receive buffer");
            return SCAN_REPLY_BAD_HEADER;
        }
        pendingPayload_ = length;
    }
    // What arrived of a payload that timed out stays in the transport's
    // ring, so reading it again takes up where it stopped.
    if (link_.read(buffer, static_cast<uint32_t>(pendingPayload_)) != USB_OK) {
        if (link_.lastError() == kErrorTimeout)
            return SCAN_REPLY_TIMEOUT;
        notices_.trace("Failed on USBRead of a scan data block");
        pendingPayload_ = 0;
        return SCAN_REPLY_BAD_HEADER;
    }
    *payloadLength = pendingPayload_;
    pendingPayload_ = 0;
    return SCAN_REPLY_SUCCESS;
}

void ScannerProtocol::closeAfterQuery()
{
    if (link_.close() == 0)
        notices_.showWarning(IDS_ERROR_CANT_CLOSE_CHANNEL, false);
}

int ScannerProtocol::queryFeederStatus(bool reportCovers)
{
    int result = kFeederQueryFailure;
    if (link_.open() == SCAN_REPLY_SUCCESS) {
        int reply = writeEscCommand(makeCommand(CMD_FEEDER_STATUS));
        if (reply == SCANCMD_TRANSPORT_FAILURE) {
            notices_.traceWarningValue(IDS_ERROR_DISCONNECTION, reply);
            result = SCAN_REPLY_BAD_HEADER;
        } else if (reply != SCANCMD_RESULT_SUCCESS && reply != SCANCMD_RESULT_WARMING) {
            // A refused query says nothing about the feeder: its detail byte
            // is no feeder state. A warming scanner still reports it.
            notices_.traceWarningValue(IDS_ERROR_QUERY_DOC_FEEDER, reply);
        } else {
            switch (replyDetail()) {
            case FEEDER_EMPTY:
                result = 1;
                break;
            case FEEDER_LOADED:
                result = 0;
                break;
            case FEEDER_NOT_ATTACHED:
                notices_.showWarning(IDS_MESSAGE_ADF_NOT_ATTACHED, true);
                break;
            case FEEDER_SCAN_UNIT_OPEN:
                notices_.showWarning(IDS_MESSAGE_ADF_SCAN_UNIT_OPEN, true);
                break;
            case FEEDER_SCAN_COVER_OPEN:
                // The glass cover only matters when the feeder was chosen.
                if (reportCovers)
                    notices_.showWarning(IDS_MESSAGE_ADF_SCAN_COVER_OPEN, true);
                else
                    result = 1;
                break;
            case FEEDER_COVER_OPEN:
                if (reportCovers)
                    notices_.showWarning(IDS_MESSAGE_ADF_COVER_OPEN, true);
                break;
            default:
                break;
            }
        }
    }
    closeAfterQuery();
    return result;
}

int ScannerProtocol::isFeederMissing()
{
    int result = 1;
    if (link_.open() == SCAN_REPLY_SUCCESS) {
        int reply = writeEscCommand(makeCommand(CMD_FEEDER_STATUS));
        // A warming scanner still reports its feeder.
        if (reply != SCANCMD_RESULT_SUCCESS && reply != SCANCMD_RESULT_WARMING) {
            notices_.traceWarningValue(IDS_ERROR_QUERY_DOC_FEEDER, reply);
            result = SCAN_REPLY_BAD_HEADER;
        } else {
            result = replyDetail() == FEEDER_NOT_ATTACHED ? 1 : 0;
        }
    }
    closeAfterQuery();
    return result;
}
