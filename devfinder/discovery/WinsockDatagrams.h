#pragma once
// Plain UDP over Winsock, shared by the selector window and the console
// tool so that both open, send and read their datagrams the same way.
#include <winsock2.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "Ipv4Address.h"

// A UDP socket bound to port on any local interface; INVALID_SOCKET on failure.
SOCKET OpenBoundDatagramSocket(unsigned short port);

// Sends one datagram with broadcast allowed; failures are ignored.
void SendBroadcastDatagram(SOCKET socket, Ipv4Address to, unsigned short port, const std::uint8_t* bytes,
                           std::size_t length);

// Reads one waiting datagram into buffer; its length, or 0 or less on
// failure. Winsock fails on a datagram larger than capacity, which drops it.
int ReceiveDatagram(SOCKET socket, std::uint8_t* buffer, std::size_t capacity, Ipv4Address& from);

// hostName is set whenever the name is known, even when it has no IPv4 address.
bool ResolveLocalHost(std::string& hostName, Ipv4Address& address);
