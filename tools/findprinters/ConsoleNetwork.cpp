#include "ConsoleNetwork.h"

#include <chrono>

#include "BrowseRequest.h"
#include "SnmpRequest.h"

bool ConsoleNetwork::Open()
{
    hasBrowseSocket_ = Bind(Endpoint::Browse, kNetbiosDatagramPort);
    for (unsigned short port = kFirstSnmpPort; port <= kLastSnmpPort; ++port) {
        if (Bind(Endpoint::Snmp, port)) {
            return true;
        }
    }
    return false;
}

void ConsoleNetwork::SendSnmpDatagram(Ipv4Address to, const std::uint8_t* bytes, std::size_t length)
{
    Send(Endpoint::Snmp, to, kSnmpPort, bytes, length);
}

void ConsoleNetwork::SendBrowseDatagram(Ipv4Address to, const std::uint8_t* bytes, std::size_t length)
{
    Send(Endpoint::Browse, to, kNetbiosDatagramPort, bytes, length);
}

void ConsoleNetwork::Listen(DiscoverySearch& search, int milliseconds)
{
    const long long deadline = NowMilliseconds() + milliseconds;
    for (;;) {
        const long long left = deadline - NowMilliseconds();
        if (left <= 0) {
            return;
        }
        Readiness ready;
        if (!WaitForDatagrams(static_cast<int>(left), ready)) {
            continue;
        }
        if (ready.snmp) {
            std::uint8_t buffer[PacketRecord::kCapacity];
            Ipv4Address from = 0;
            const int received = Receive(Endpoint::Snmp, buffer, sizeof buffer, from);
            if (received > 0) {
                search.StoreReply(from, buffer, received);
            }
        }
        if (hasBrowseSocket_ && ready.browse) {
            std::uint8_t buffer[kBrowseReceiveBufferSize];
            Ipv4Address from = 0;
            const int received = Receive(Endpoint::Browse, buffer, sizeof buffer, from);
            if (received > 0) {
                search.StoreBrowseDatagram(from, buffer, received);
            }
        }
    }
}

long long ConsoleNetwork::NowMilliseconds()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}
