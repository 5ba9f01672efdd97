#pragma once
// What a search needs from the outside world, so that the same search runs
// behind the selector window (Winsock with window-message notifications),
// in the findprinters tool (plain sockets) and in tests (fakes).

#include <cstddef>
#include <cstdint>
#include <string>

#include "Ipv4Address.h"

class DiscoveryNetwork {
public:
    virtual ~DiscoveryNetwork() = default;
    // This PC's first IPv4 address, from its host name; false when the
    // name or its address is not available.
    virtual bool ResolveLocalAddress(Ipv4Address& address) = 0;
    // Both sends allow broadcast on their socket first; failures are ignored.
    virtual void SendSnmpDatagram(Ipv4Address to, const std::uint8_t* bytes, std::size_t length) = 0;
    virtual void SendBrowseDatagram(Ipv4Address to, const std::uint8_t* bytes, std::size_t length) = 0;
};

// Time and waiting, so the search's time limits can be tested without
// waiting for them.
class SearchClock {
public:
    virtual ~SearchClock() = default;
    // Milliseconds from a monotonic source: setting the wall clock never moves it.
    virtual long long NowMilliseconds() = 0;
    // The selector window's clock dispatches window messages while it waits,
    // so the window keeps answering; Sleep(0) dispatches what is waiting.
    virtual void Sleep(int milliseconds) = 0;
};

class DnsResolver {
public:
    virtual ~DnsResolver() = default;
    // Status 0 on success; the label is empty on failure and may be empty on
    // success. A look-up without an answer after timeoutMilliseconds fails.
    virtual int LookUpDnsName(Ipv4Address address, std::string& hostLabel, int timeoutMilliseconds) = 0;
};

class DeviceRowSink {
public:
    virtual ~DeviceRowSink() = default;
    virtual void AddDeviceRow(const std::string& netbiosName, const std::string& addressText,
                              const std::string& dnsName, const std::string& modelText) = 0;
};
