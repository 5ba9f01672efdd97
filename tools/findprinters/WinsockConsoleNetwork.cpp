// The console tool's sockets and reverse look-ups on Windows.
#include <winsock2.h>
#include <windows.h>

#include <cstring>

#include "BrowseRequest.h"
#include "ConsoleNetwork.h"
#include "DnsLookupWin.h"
#include "SnmpRequest.h"

namespace {

Ipv4Address AddressOf(const sockaddr_in& from)
{
    std::uint8_t wire[4];
    std::memcpy(wire, &from.sin_addr, 4);
    return AddressFromWire(wire);
}

SOCKET OpenBoundSocket(unsigned short port)
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

void SendWithBroadcast(SOCKET handle, Ipv4Address to, unsigned short port, const std::uint8_t* bytes,
                       std::size_t length)
{
    if (handle == INVALID_SOCKET) {
        return;
    }
    BOOL allow = TRUE;
    setsockopt(handle, SOL_SOCKET, SO_BROADCAST, reinterpret_cast<const char*>(&allow), sizeof allow);
    sockaddr_in target = {};
    target.sin_family = AF_INET;
    target.sin_port = htons(port);
    std::uint8_t wire[4];
    AddressToWire(to, wire);
    std::memcpy(&target.sin_addr, wire, 4);
    sendto(handle, reinterpret_cast<const char*>(bytes), static_cast<int>(length), 0,
           reinterpret_cast<const sockaddr*>(&target), sizeof target);
}

class WinsockConsoleNetwork : public ConsoleNetwork {
public:
    ~WinsockConsoleNetwork() override
    {
        if (snmp_ != INVALID_SOCKET) closesocket(snmp_);
        if (browse_ != INVALID_SOCKET) closesocket(browse_);
    }

    bool Open() override
    {
        browse_ = OpenBoundSocket(kNetbiosDatagramPort);
        for (unsigned short port = 1025; port <= 1034 && snmp_ == INVALID_SOCKET; ++port) {
            snmp_ = OpenBoundSocket(port);
        }
        return snmp_ != INVALID_SOCKET;
    }

    bool HasBrowseSocket() const override { return browse_ != INVALID_SOCKET; }

    bool ResolveLocalAddress(Ipv4Address& address) override
    {
        char name[256] = {};
        if (gethostname(name, sizeof name) != 0) {
            return false;
        }
        const hostent* host = gethostbyname(name);
        if (!host || host->h_addrtype != AF_INET || !host->h_addr_list || !host->h_addr_list[0]) {
            return false;
        }
        address = AddressFromWire(reinterpret_cast<const std::uint8_t*>(host->h_addr_list[0]));
        return true;
    }

    void SendSnmpDatagram(Ipv4Address to, const std::uint8_t* bytes, std::size_t length) override
    {
        SendWithBroadcast(snmp_, to, kSnmpPort, bytes, length);
    }

    void SendBrowseDatagram(Ipv4Address to, const std::uint8_t* bytes, std::size_t length) override
    {
        SendWithBroadcast(browse_, to, kNetbiosDatagramPort, bytes, length);
    }

    void Listen(DiscoverySearch& search, int milliseconds) override
    {
        const DWORD start = GetTickCount();
        for (;;) {
            const DWORD elapsed = GetTickCount() - start;  // unsigned: safe across the wrap
            if (elapsed >= static_cast<DWORD>(milliseconds)) {
                return;
            }
            const DWORD left = static_cast<DWORD>(milliseconds) - elapsed;
            fd_set readable;
            FD_ZERO(&readable);
            FD_SET(snmp_, &readable);
            if (browse_ != INVALID_SOCKET) {
                FD_SET(browse_, &readable);
            }
            timeval wait = {static_cast<long>(left / 1000), static_cast<long>((left % 1000) * 1000)};
            if (select(0, &readable, nullptr, nullptr, &wait) <= 0) {
                continue;
            }
            if (FD_ISSET(snmp_, &readable)) {
                std::uint8_t buffer[PacketRecord::kCapacity];
                Ipv4Address from = 0;
                const int n = Receive(snmp_, buffer, sizeof buffer, from);
                if (n > 0) {
                    search.StoreReply(from, buffer, n);
                }
            }
            if (browse_ != INVALID_SOCKET && FD_ISSET(browse_, &readable)) {
                std::uint8_t buffer[kBrowseReceiveBufferSize];
                Ipv4Address from = 0;
                const int n = Receive(browse_, buffer, sizeof buffer, from);
                if (n > 0) {
                    search.StoreBrowseDatagram(from, buffer, n);
                }
            }
        }
    }

private:
    // Winsock reports a datagram larger than the buffer as an error, which drops it.
    static int Receive(SOCKET handle, std::uint8_t* buffer, int capacity, Ipv4Address& from)
    {
        sockaddr_in sender = {};
        int senderLength = sizeof sender;
        const int n = recvfrom(handle, reinterpret_cast<char*>(buffer), capacity, 0,
                               reinterpret_cast<sockaddr*>(&sender), &senderLength);
        from = AddressOf(sender);
        return n;
    }

    SOCKET snmp_ = INVALID_SOCKET;
    SOCKET browse_ = INVALID_SOCKET;
};

}  // namespace

std::unique_ptr<ConsoleNetwork> MakeConsoleNetwork()
{
    return std::make_unique<WinsockConsoleNetwork>();
}

std::unique_ptr<DnsResolver> MakeDnsResolver()
{
    return std::make_unique<WindowsDnsResolver>();
}

bool StartSockets()
{
    WSADATA winsock = {};
    return WSAStartup(MAKEWORD(2, 2), &winsock) == 0;
}
