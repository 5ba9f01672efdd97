#pragma once
// One datagram: the SNMP request being sent, or one reply as received.

#include <cstdint>

#include "Ipv4Address.h"

struct PacketRecord {
    static constexpr int kCapacity = 1024;

    std::int32_t length = 0;  // valid bytes in data
    Ipv4Address source = 0;   // sender; 0 in the request
    std::uint8_t data[kCapacity] = {};
};
