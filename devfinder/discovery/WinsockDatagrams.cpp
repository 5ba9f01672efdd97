#include "WinsockDatagrams.h"

#include <cstring>

SOCKET OpenBoundDatagramSocket(unsigned short port)
{
    SOCKET handle = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    if (handle == INVALID_SOCKET) {
        return INVALID_SOCKET;
    }
    sockaddr_in local = {};
    local.sin_family = AF_INET;
    local.sin_port = htons(port);
    local.sin_addr.s_addr = htonl(INADDR_ANY);
    if (bind(handle, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0) {
        closesocket(handle);
        return INVALID_SOCKET;
    }
    return handle;
}

void SendBroadcastDatagram(SOCKET socket, Ipv4Address to, unsigned short port, const std::uint8_t* bytes,
                           std::size_t length)
{
    if (socket == INVALID_SOCKET) {
        return;
    }
    BOOL allow = TRUE;
    setsockopt(socket, SOL_SOCKET, SO_BROADCAST, reinterpret_cast<const char*>(&allow), sizeof allow);
    sockaddr_in target = {};
    target.sin_family = AF_INET;
    target.sin_port = htons(port);
    std::uint8_t wire[4];
    AddressToWire(to, wire);
    std::memcpy(&target.sin_addr, wire, 4);
    sendto(socket, reinterpret_cast<const char*>(bytes), static_cast<int>(length), 0,
           reinterpret_cast<const sockaddr*>(&target), sizeof target);
}

int ReceiveDatagram(SOCKET socket, std::uint8_t* buffer, std::size_t capacity, Ipv4Address& from)
{
    sockaddr_in sender = {};
    int senderLength = sizeof sender;
    const int received = recvfrom(socket, reinterpret_cast<char*>(buffer), static_cast<int>(capacity), 0,
                                  reinterpret_cast<sockaddr*>(&sender), &senderLength);
    std::uint8_t wire[4];
    std::memcpy(wire, &sender.sin_addr, 4);
    from = AddressFromWire(wire);
    return received;
}

bool ResolveLocalHost(std::string& hostName, Ipv4Address& address)
{
    char name[256] = {};
    if (gethostname(name, sizeof name) != 0) {
        return false;
    }
    hostName = name;
    const hostent* host = gethostbyname(name);
    if (!host || host->h_addrtype != AF_INET || !host->h_addr_list || !host->h_addr_list[0]) {
        return false;
    }
    address = AddressFromWire(reinterpret_cast<const std::uint8_t*>(host->h_addr_list[0]));
    return true;
}
