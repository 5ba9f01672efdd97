#pragma once
// The console tool's sockets: the same two ports as the selector window,
// but read by waiting on them directly instead of through window messages.
// Which ports are used and how the listening loop runs is decided here,
// once; each platform's file only binds, sends, waits and reads.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "DiscoverySearch.h"
#include "SearchPorts.h"

class ConsoleNetwork : public DiscoveryNetwork {
public:
    static constexpr unsigned short kFirstSnmpPort = 1025;
    static constexpr unsigned short kLastSnmpPort = 1034;

    // False when no SNMP port from 1025 to 1034 could be bound. Port 138
    // is optional, as in the window: without it no names are learnt.
    bool Open();
    bool HasBrowseSocket() const { return hasBrowseSocket_; }
    // Stores every datagram that arrives within the given time.
    void Listen(DiscoverySearch& search, int milliseconds);
    void SendSnmpDatagram(Ipv4Address to, const std::uint8_t* bytes, std::size_t length) final;
    void SendBrowseDatagram(Ipv4Address to, const std::uint8_t* bytes, std::size_t length) final;

protected:
    enum class Endpoint { Snmp, Browse };
    struct Readiness {
        bool snmp = false;
        bool browse = false;
    };

    // Opens the endpoint's UDP socket on port of any local interface.
    virtual bool Bind(Endpoint endpoint, unsigned short port) = 0;
    // Sends from the endpoint's socket with broadcast allowed; failures,
    // and a socket that was never opened, are ignored.
    virtual void Send(Endpoint endpoint, Ipv4Address to, unsigned short port, const std::uint8_t* bytes,
                      std::size_t length) = 0;
    // False when nothing became readable within the time or the wait failed.
    virtual bool WaitForDatagrams(int milliseconds, Readiness& ready) = 0;
    // One waiting datagram; a larger one than capacity is dropped.
    // Its length, or 0 or less when there is nothing to store.
    virtual int Receive(Endpoint endpoint, std::uint8_t* buffer, std::size_t capacity, Ipv4Address& from) = 0;
    // A monotonic count of milliseconds.
    virtual long long NowMilliseconds();

private:
    bool hasBrowseSocket_ = false;
};

std::unique_ptr<ConsoleNetwork> MakeConsoleNetwork();
std::unique_ptr<DnsResolver> MakeDnsResolver();
// Sets up the platform's socket library; false when it cannot be used.
bool StartSockets();
