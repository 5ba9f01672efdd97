// The console tool's sockets and reverse look-ups on POSIX systems.
#include <arpa/inet.h>
#include <arpa/nameser.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <resolv.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

#include "ConsoleNetwork.h"
#include "PtrAnswer.h"
#include "ReverseName.h"

namespace {

Ipv4Address AddressOf(const sockaddr_in& from)
{
    std::uint8_t wire[4];
    std::memcpy(wire, &from.sin_addr, 4);
    return AddressFromWire(wire);
}

int OpenBoundSocket(unsigned short port)
{
    const int handle = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    if (handle < 0) {
        return -1;
    }
    sockaddr_in local = {};
    local.sin_family = AF_INET;
    local.sin_port = htons(port);
    local.sin_addr.s_addr = htonl(INADDR_ANY);
    if (bind(handle, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0) {
        close(handle);
        return -1;
    }
    return handle;
}

void SendWithBroadcast(int handle, Ipv4Address to, unsigned short port, const std::uint8_t* bytes, std::size_t length)
{
    if (handle < 0) {
        return;
    }
    const int allow = 1;
    setsockopt(handle, SOL_SOCKET, SO_BROADCAST, &allow, sizeof allow);
    sockaddr_in target = {};
    target.sin_family = AF_INET;
    target.sin_port = htons(port);
    std::uint8_t wire[4];
    AddressToWire(to, wire);
    std::memcpy(&target.sin_addr, wire, 4);
    sendto(handle, bytes, length, 0, reinterpret_cast<const sockaddr*>(&target), sizeof target);
}

class PosixConsoleNetwork : public ConsoleNetwork {
public:
    ~PosixConsoleNetwork() override
    {
        if (snmp_ >= 0) close(snmp_);
        if (browse_ >= 0) close(browse_);
    }

    bool ResolveLocalAddress(Ipv4Address& address) override
    {
        char name[256] = {};
        if (gethostname(name, sizeof name - 1) != 0) {
            return false;
        }
        const hostent* host = gethostbyname(name);
        if (!host || host->h_addrtype != AF_INET || !host->h_addr_list || !host->h_addr_list[0]) {
            return false;
        }
        address = AddressFromWire(reinterpret_cast<const std::uint8_t*>(host->h_addr_list[0]));
        return true;
    }

private:
    int& HandleOf(Endpoint endpoint) { return endpoint == Endpoint::Snmp ? snmp_ : browse_; }

    bool Bind(Endpoint endpoint, unsigned short port) override
    {
        HandleOf(endpoint) = OpenBoundSocket(port);
        return HandleOf(endpoint) >= 0;
    }

    void Send(Endpoint endpoint, Ipv4Address to, unsigned short port, const std::uint8_t* bytes,
              std::size_t length) override
    {
        SendWithBroadcast(HandleOf(endpoint), to, port, bytes, length);
    }

    bool WaitForDatagrams(int milliseconds, Readiness& ready) override
    {
        pollfd sockets[2] = {{snmp_, POLLIN, 0}, {browse_, POLLIN, 0}};
        if (poll(sockets, 2, milliseconds) <= 0) {
            return false;
        }
        ready.snmp = (sockets[0].revents & POLLIN) != 0;
        ready.browse = (sockets[1].revents & POLLIN) != 0;
        return true;
    }

    // Reads one byte more than capacity so that a datagram too large for
    // it is seen and dropped, as Winsock drops it for the window's sockets.
    int Receive(Endpoint endpoint, std::uint8_t* buffer, std::size_t capacity, Ipv4Address& from) override
    {
        std::uint8_t whole[kLargestKeptDatagram + 1];
        const std::size_t wanted = std::min(capacity, kLargestKeptDatagram) + 1;
        sockaddr_in sender = {};
        socklen_t senderLength = sizeof sender;
        const ssize_t received = recvfrom(HandleOf(endpoint), whole, wanted, MSG_DONTWAIT,
                                          reinterpret_cast<sockaddr*>(&sender), &senderLength);
        if (received <= 0 || static_cast<std::size_t>(received) > capacity) {
            return 0;
        }
        std::memcpy(buffer, whole, static_cast<std::size_t>(received));
        from = AddressOf(sender);
        return static_cast<int>(received);
    }

    static constexpr std::size_t kLargestKeptDatagram = PacketRecord::kCapacity;

    int snmp_ = -1;
    int browse_ = -1;
};

// res_query has no time limit of its own; a private resolver state asks
// once, waiting no longer than the search has left.
class ResolverDns : public DnsResolver {
public:
    int LookUpDnsName(Ipv4Address address, std::string& hostLabel, int timeoutMilliseconds) override
    {
        hostLabel.clear();
        if (timeoutMilliseconds <= 0) {
            return -1;
        }
        struct __res_state state = {};
        if (res_ninit(&state) != 0) {
            return -1;
        }
        state.retrans = std::max(1, timeoutMilliseconds / 1000);
        state.retry = 1;
        unsigned char answer[NS_PACKETSZ * 4];
        const int length =
            res_nquery(&state, ReverseLookupName(address).c_str(), ns_c_in, ns_t_ptr, answer, sizeof answer);
        res_nclose(&state);
        if (length < 0) {
            return h_errno == 0 ? -1 : h_errno;
        }
        return HostLabelFromPtrAnswer(answer, sizeof answer, length, hostLabel);
    }
};

}  // namespace

std::unique_ptr<ConsoleNetwork> MakeConsoleNetwork()
{
    return std::make_unique<PosixConsoleNetwork>();
}

std::unique_ptr<DnsResolver> MakeDnsResolver()
{
    return std::make_unique<ResolverDns>();
}

bool StartSockets()
{
    return true;
}
