#pragma once
// The console tool's sockets: the same two ports as the selector window,
// but read by waiting on them directly instead of through window messages.
#include <memory>

#include "DiscoverySearch.h"
#include "SearchPorts.h"

class ConsoleNetwork : public DiscoveryNetwork {
public:
    // False when no SNMP port from 1025 to 1034 could be bound. Port 138
    // is optional, as in the window: without it no names are learnt.
    virtual bool Open() = 0;
    virtual bool HasBrowseSocket() const = 0;
    // Stores every datagram that arrives within the given time.
    virtual void Listen(DiscoverySearch& search, int milliseconds) = 0;
};

std::unique_ptr<ConsoleNetwork> MakeConsoleNetwork();
std::unique_ptr<DnsResolver> MakeDnsResolver();
// Sets up the platform's socket library; false when it cannot be used.
bool StartSockets();
