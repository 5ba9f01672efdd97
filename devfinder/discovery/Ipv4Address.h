#pragma once
// IPv4 addresses as the socket layer hands them over: the four bytes in
// wire order, read as a little-endian number (the in_addr value on x86).
// The maps bucket by this number, so the conversion is spelled out here
// instead of relying on the host's byte order.

#include <cstdint>
#include <string>
#include <string_view>

using Ipv4Address = std::uint32_t;

Ipv4Address AddressFromBytes(std::uint8_t first, std::uint8_t second, std::uint8_t third, std::uint8_t fourth);
Ipv4Address AddressFromWire(const std::uint8_t* fourBytes);
void AddressToWire(Ipv4Address address, std::uint8_t* fourBytes);
// The byte at wire position 0..3.
std::uint8_t AddressByte(Ipv4Address address, int position);

std::string DottedText(Ipv4Address address);
// Strict dotted quad ("10.0.0.7"); false for anything else.
bool ParseDotted(std::string_view text, Ipv4Address& address);

// The two broadcast addresses a search uses, taken from the local address
// alone: a.b.c.255 and a.b.255.255, whatever the real subnet mask.
Ipv4Address SubnetBroadcast(Ipv4Address local);
Ipv4Address WideBroadcast(Ipv4Address local);
