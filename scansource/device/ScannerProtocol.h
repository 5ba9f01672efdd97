#pragma once
// The scanner's escape-command protocol over the transport: 8-byte commands
// and replies in one command buffer, the data stream of a scan and the
// feeder queries.
#include "DeviceNotices.h"
#include "ScanCommands.h"
#include "ScannerLink.h"

constexpr int kFeederQueryFailure = -2147467259;  // 0x80004005
// The longest payload a data block may carry: what the receive ring holds.
constexpr int kMaxScanPayload = 2047;
// A command's reply may take longer than one transfer time-out (the lamp
// switched on, the carriage sent home, a sheet picked): it is waited for
// through this many time-outs before the link counts as failed.
constexpr int kCommandReplyAttempts = 4;

class ScannerProtocol {
public:
    ScannerProtocol(ScannerLink& link, DeviceNotices& notices) : link_(link), notices_(notices) {}

    // The reply's status byte, or 255 when the write or read failed.
    int writeEscCommand(const CommandPacket& command);
    // 0 when written, 255 otherwise.
    int sendEscCommandNoReply(const CommandPacket& command);
    // Writes the start command, which has no reply: the data stream follows.
    // 1000 when written.
    int startScanStream();
    // Reads one header of the scan data stream, and the payload of a data
    // block over it. buffer holds at least kMaxScanPayload bytes. 102 when
    // the device stayed silent for a transfer time-out: the reader keeps its
    // place (also inside a data block), so the caller may wait and call again.
    int readScanReply(int* payloadLength, uint8_t* buffer);

    int queryFeederStatus(bool reportCovers);
    int isFeederMissing();

    // After writeEscCommand: the reply.
    const CommandPacket& commandBuffer() const { return buffer_; }
    uint8_t replyDetail() const { return buffer_[4]; }
    ScannerLink& link() { return link_; }
    DeviceNotices& notices() { return notices_; }

private:
    void closeAfterQuery();

    ScannerLink& link_;
    DeviceNotices& notices_;
    CommandPacket buffer_{};
    // The payload length of a data block whose header was read but whose
    // payload has not all arrived yet.
    int pendingPayload_ = 0;
};
