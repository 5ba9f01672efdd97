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
// Forged sender addresses must not grow memory without end: a search keeps
// the replies of at most this many senders, and the names learnt over a
// run start afresh when this many senders are known.
inline constexpr std::size_t kMaxStoredReplies = 1024;
inline constexpr std::size_t kMaxNetbiosNames = 1024;

// NetBIOS names travel in the sender's OEM code page; the Windows shell
// converts them to the ANSI code page the rest of the program uses. The
// default leaves the bytes as they are.
using OemToAnsiInPlace = void (*)(std::string& text);
inline void KeepOemText(std::string&) {}

class DiscoverySearch {
public:
    explicit DiscoverySearch(UpperCaseInPlace upperCase = AsciiUpperCaseInPlace, OemToAnsiInPlace oemToAnsi = KeepOemText)
        : devices_(upperCase), oemToAnsi_(oemToAnsi)
    {
    }

    // Empties the device table and the reply store, then sends the SNMP
    // request and the browse request to a.b.c.255 and then a.b.255.255.
    // Nothing is sent when the local address cannot be found.
    void BroadcastQueries(DiscoveryNetwork& network, SearchClock& clock);
    // As above with a local address chosen by the caller.
    void BroadcastQueriesFrom(Ipv4Address localAddress, DiscoveryNetwork& network, SearchClock& clock);

    // One SNMP datagram; a later one from the same sender replaces the
    // earlier. Empty datagrams and receive errors (length <= 0) are dropped,
    // and so is a new sender's reply that does not name the family, or that
    // finds the store full.
    void StoreReply(Ipv4Address source, const std::uint8_t* data, int length);
    // One datagram from port 138; its source name is remembered per sender.
    void StoreBrowseDatagram(Ipv4Address source, const std::uint8_t* data, int length);

    // Examines the replies of the senders present now, for at most
    // budgetSeconds in all, reverse look-ups included, and always uses the
    // whole budget (late senders are ignored). A look-up leaves time to list
    // the devices after it, and after one has timed out the others go
    // without a DNS name. A reply is one device however often it names the
    // family. Each new device goes to the table and to the sink. The clock's
    // Sleep(0) after each reply lets the window answer.
    void MatchReplies(DeviceRowSink& sink, SearchClock& clock, DnsResolver& dns,
                      int budgetSeconds = kReplyWaitSeconds);

    const DeviceTable& Devices() const { return devices_; }
    const ReplyMap& Replies() const { return replies_; }
    const NetbiosNameMap& NetbiosNames() const { return netbiosNames_; }
    Ipv4Address LocalAddress() const { return localAddress_; }
    const std::string& LocalAddressText() const { return localAddressText_; }
    const std::string& BroadcastAddressText() const { return broadcastAddressText_; }

private:
    // False when the reverse look-up ran out of its time.
    bool HandleMatch(const PacketRecord& reply, std::string modelText, DeviceRowSink& sink, SearchClock& clock,
                     DnsResolver& dns, long long lookUpMilliseconds);

    ReplyMap replies_;
    NetbiosNameMap netbiosNames_;  // kept for the whole run
    DeviceTable devices_;
    OemToAnsiInPlace oemToAnsi_;
    Ipv4Address localAddress_ = 0;
    std::string localAddressText_;
    std::string broadcastAddressText_;
};
