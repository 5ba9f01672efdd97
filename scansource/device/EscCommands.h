#pragma once
// The scanner's escape commands for the rest of the source, on the
// process's one scanner and command buffer.
#include "ScanCommands.h"
#include "ScanReplyResult.h"

#include <cstdint>

// The reply's status byte, or 255 when the write or the read failed.
int writeEscCommand(uint8_t d0, uint8_t d1, uint8_t d2, uint8_t d3, uint8_t d4, uint8_t d5, uint8_t d6,
                    uint8_t d7);
int writeEscCommand(const CommandPacket& command);
// 0 when written, 255 otherwise; reads nothing.
int sendEscCommandNoReply(uint8_t d0, uint8_t d1, uint8_t d2, uint8_t d3, uint8_t d4, uint8_t d5, uint8_t d6,
                          uint8_t d7);
int sendEscCommandNoReply(const CommandPacket& command);
// One header of the scan data stream (and a data block's payload over it);
// buffer holds at least 2047 bytes.
int readScanReply(int* payloadLength, uint8_t* buffer);
// After a command: its 8-byte reply.
const CommandPacket& escCommandBuffer();

int queryFeederStatus(int reportCovers);
int isFeederMissing();

// The image filter settings of the settings file.
FilterSettings loadFilterSettings();
