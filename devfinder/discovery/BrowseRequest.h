#pragma once
// NetBIOS: the browser announcement request sent with each SNMP broadcast,
// and the source name of any datagram that arrives on port 138.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "Ipv4Address.h"

inline constexpr unsigned short kNetbiosDatagramPort = 138;
inline constexpr std::size_t kBrowseRequestSize = 180;
inline constexpr std::size_t kBrowseReceiveBufferSize = 256;

// Sent whole although its own length field says 165.
std::array<std::uint8_t, kBrowseRequestSize> BuildBrowseRequest(Ipv4Address localAddress);

// First-level decoding of the source name at offset 15: at most 16 bytes,
// ending at the first decoded zero or space. Datagrams shorter than 47
// bytes carry no name; the datagram type is not looked at.
std::string DecodeNetbiosSourceName(const std::uint8_t* datagram, std::size_t length);
