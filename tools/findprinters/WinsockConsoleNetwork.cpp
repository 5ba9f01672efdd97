// The console tool's sockets and reverse look-ups on Windows.
#include <winsock2.h>
#include <windows.h>

#include <string>

#include "ConsoleNetwork.h"
#include "DnsLookupWin.h"
#include "WinsockDatagrams.h"

namespace {

class WinsockConsoleNetwork : public ConsoleNetwork {
public:
    ~WinsockConsoleNetwork() override
    {
        if (snmp_ != INVALID_SOCKET) closesocket(snmp_);
        if (browse_ != INVALID_SOCKET) closesocket(browse_);
    }

    bool ResolveLocalAddress(Ipv4Address& address) override
    {
        std::string hostName;
        return ResolveLocalHost(hostName, address);
    }

private:
    SOCKET& SocketOf(Endpoint endpoint) { return endpoint == Endpoint::Snmp ? snmp_ : browse_; }

    bool Bind(Endpoint endpoint, unsigned short port) override
    {
        SocketOf(endpoint) = OpenBoundDatagramSocket(port);
        return SocketOf(endpoint) != INVALID_SOCKET;
    }

    void Send(Endpoint endpoint, Ipv4Address to, unsigned short port, const std::uint8_t* bytes,
              std::size_t length) override
    {
        SendBroadcastDatagram(SocketOf(endpoint), to, port, bytes, length);
    }

    bool WaitForDatagrams(int milliseconds, Readiness& ready) override
    {
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(snmp_, &readable);
        if (browse_ != INVALID_SOCKET) {
            FD_SET(browse_, &readable);
        }
        timeval wait = {milliseconds / 1000, (milliseconds % 1000) * 1000};
        if (select(0, &readable, nullptr, nullptr, &wait) <= 0) {
            return false;
        }
        ready.snmp = FD_ISSET(snmp_, &readable);
        ready.browse = browse_ != INVALID_SOCKET && FD_ISSET(browse_, &readable);
        return true;
    }

    int Receive(Endpoint endpoint, std::uint8_t* buffer, std::size_t capacity, Ipv4Address& from) override
    {
        return ReceiveDatagram(SocketOf(endpoint), buffer, capacity, from);
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
