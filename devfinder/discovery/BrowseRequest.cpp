#include "BrowseRequest.h"

#include <cstring>

namespace {

void Put(std::array<std::uint8_t, kBrowseRequestSize>& packet, std::size_t offset, const char* bytes,
         std::size_t count)
{
    std::memcpy(packet.data() + offset, bytes, count);
}

constexpr std::size_t kSourceNameOffset = 15;
constexpr std::size_t kEncodedNameLength = 32;
constexpr std::size_t kShortestNamedDatagram = kSourceNameOffset + kEncodedNameLength;

}  // namespace

std::array<std::uint8_t, kBrowseRequestSize> BuildBrowseRequest(Ipv4Address localAddress)
{
    std::array<std::uint8_t, kBrowseRequestSize> packet{};
    packet[0] = 0x11;  // direct group datagram
    packet[1] = 0x0E;  // first fragment, node type bits 11
    AddressToWire(localAddress, packet.data() + 4);
    packet[8] = 0x00;
    packet[9] = 0x8A;  // source port 138
    packet[10] = 0x00;
    packet[11] = 0xA5;  // datagram length 165
    packet[14] = 0x20;
    Put(packet, 15, "EFCACACACACACACACACACACACACACAAA", kEncodedNameLength);  // "E", spaces, suffix 00
    packet[48] = 0x20;  // destination name: length only, the name bytes stay zero
    Put(packet, 82, "\xFFSMB", 4);
    packet[86] = 0x25;   // SMB transaction
    packet[114] = 0x11;  // word count 17
    packet[117] = 0x0A;  // total data count 10
    packet[127] = 0x64;  // timeout 100
    packet[137] = 0x0A;  // data count 10
    packet[139] = 0x56;  // data offset 86
    packet[141] = 0x03;  // setup count 3
    packet[143] = 0x01;  // mailslot write
    packet[145] = 0x01;  // priority 1
    packet[147] = 0x02;  // class 2, unreliable
    packet[149] = 0x1C;  // byte count 28
    Put(packet, 151, "\\MAILSLOT\\BROWSE", 17);
    packet[168] = 0x02;  // announcement request
    Put(packet, 170, "BROWSE", 7);
    return packet;
}

std::string DecodeNetbiosSourceName(const std::uint8_t* datagram, std::size_t length)
{
    std::string name;
    if (length < kShortestNamedDatagram) {
        return name;
    }
    for (std::size_t i = 0; i < kEncodedNameLength; i += 2) {
        const std::uint8_t high = datagram[kSourceNameOffset + i];
        const std::uint8_t low = datagram[kSourceNameOffset + i + 1];
        const auto decoded = static_cast<std::uint8_t>(high * 16 + low - 0x51);
        if (decoded == 0 || decoded == ' ') {
            break;
        }
        name += static_cast<char>(decoded);
    }
    return name;
}
