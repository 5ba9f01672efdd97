#pragma once
// One search's worth of discovery state and its three steps: broadcast the
// queries, store what comes back, match the stored replies.

#include <string>

#include "AddressMap.h"
#include "DeviceTable.h"
#include "PacketRecord.h"
#include "SearchPorts.h"

using ReplyMap = AddressMap<PacketRecord>;
using NetbiosNameMap = AddressMap<std::string>;

inline constexpr int kReplyWaitSeconds = 3;

class DiscoverySearch {
public:
    explicit DiscoverySearch(UpperCaseInPlace upperCase = AsciiUpperCaseInPlace) : devices_(upperCase) {}

    // Empties the device table and the reply store, then sends the SNMP
    // request and the browse request to a.b.c.255 and then a.b.255.255.
    // Nothing is sent when the local address cannot be found.
    void BroadcastQueries(DiscoveryNetwork& network, SearchClock& clock);
    // As above with a local address chosen by the caller.
    void BroadcastQueriesFrom(Ipv4Address localAddress, DiscoveryNetwork& network, SearchClock& clock);

    // One SNMP datagram; a later one from the same sender replaces the
    // earlier. Empty datagrams and receive errors (length <= 0) are dropped.
    void StoreReply(Ipv4Address source, const std::uint8_t* data, int length);
    // One datagram from port 138; its source name is remembered per sender.
    void StoreBrowseDatagram(Ipv4Address source, const std::uint8_t* data, int length);

    // Examines the replies present now, for at most budgetSeconds, and
    // always uses the whole budget (late entries are ignored). Each new
    // device goes to the table and to the sink.
    void MatchReplies(DeviceRowSink& sink, SearchClock& clock, DnsResolver& dns,
                      int budgetSeconds = kReplyWaitSeconds);

    const DeviceTable& Devices() const { return devices_; }
    const ReplyMap& Replies() const { return replies_; }
    const NetbiosNameMap& NetbiosNames() const { return netbiosNames_; }
    Ipv4Address LocalAddress() const { return localAddress_; }
    const std::string& LocalAddressText() const { return localAddressText_; }
    const std::string& BroadcastAddressText() const { return broadcastAddressText_; }

private:
    void HandleMatch(const PacketRecord& reply, std::string modelText, DeviceRowSink& sink, DnsResolver& dns);

    ReplyMap replies_;
    NetbiosNameMap netbiosNames_;  // kept for the whole run
    DeviceTable devices_;
    Ipv4Address localAddress_ = 0;
    std::string localAddressText_;
    std::string broadcastAddressText_;
};
