#include "DiscoverySearch.h"

#include <algorithm>
#include <vector>

#include "BrowseRequest.h"
#include "ReplyScan.h"
#include "SnmpRequest.h"

namespace {

// Give the devices a moment between the two rounds of broadcasts.
constexpr int kPauseBetweenBroadcastsMs = 100;
// How often an idle matching pass looks at the clock.
constexpr int kIdlePollMs = 50;

}  // namespace

void DiscoverySearch::BroadcastQueries(DiscoveryNetwork& network, SearchClock& clock)
{
    Ipv4Address local = 0;
    devices_.Clear();
    replies_.Clear();
    if (!network.ResolveLocalAddress(local)) {
        return;
    }
    BroadcastQueriesFrom(local, network, clock);
}

void DiscoverySearch::BroadcastQueriesFrom(Ipv4Address localAddress, DiscoveryNetwork& network, SearchClock& clock)
{
    devices_.Clear();
    replies_.Clear();
    PacketRecord request;
    BuildSnmpRequest(kCommunity, request);
    const auto requestLength = static_cast<std::size_t>(request.length);

    localAddress_ = localAddress;
    localAddressText_ = DottedText(localAddress);
    const auto browseRequest = BuildBrowseRequest(localAddress);

    const Ipv4Address first = SubnetBroadcast(localAddress);
    broadcastAddressText_ = DottedText(first);
    network.SendSnmpDatagram(first, request.data, requestLength);
    network.SendBrowseDatagram(first, browseRequest.data(), browseRequest.size());

    const Ipv4Address second = WideBroadcast(localAddress);
    broadcastAddressText_ = DottedText(second);
    network.SendSnmpDatagram(second, request.data, requestLength);
    clock.Sleep(kPauseBetweenBroadcastsMs);
    network.SendBrowseDatagram(second, browseRequest.data(), browseRequest.size());
}

void DiscoverySearch::StoreReply(Ipv4Address source, const std::uint8_t* data, int length)
{
    if (length <= 0 || length > PacketRecord::kCapacity) {
        return;
    }
    PacketRecord record;
    record.length = length;
    record.source = source;
    std::copy(data, data + length, record.data);
    replies_.Set(source, record);
}

void DiscoverySearch::StoreBrowseDatagram(Ipv4Address source, const std::uint8_t* data, int length)
{
    if (length <= 0) {
        return;
    }
    std::string name = DecodeNetbiosSourceName(data, static_cast<std::size_t>(length));
    if (!name.empty()) {
        netbiosNames_.Set(source, std::move(name));
    }
}

void DiscoverySearch::MatchReplies(DeviceRowSink& sink, SearchClock& clock, DnsResolver& dns, int budgetSeconds)
{
    const long long start = clock.NowSeconds();
    std::vector<const PacketRecord*> walk;
    walk.reserve(replies_.Size());
    replies_.Walk([&walk](Ipv4Address, const PacketRecord& record) {
        walk.push_back(&record);
        return true;
    });
    std::size_t next = 0;
    while (clock.NowSeconds() - start < budgetSeconds) {
        if (next == walk.size()) {
            clock.Sleep(kIdlePollMs);
            continue;
        }
        const PacketRecord& reply = *walk[next++];
        for (auto& modelText : FindModelTexts(reply, kDiscoveryModel)) {
            HandleMatch(reply, std::move(modelText), sink, dns);
        }
    }
}

void DiscoverySearch::HandleMatch(const PacketRecord& reply, std::string modelText, DeviceRowSink& sink,
                                  DnsResolver& dns)
{
    const std::string addressText = DottedText(reply.source);
    const std::string* known = netbiosNames_.Find(reply.source);
    std::string netbiosName = known ? *known : std::string();
    std::string dnsName;
    if (dns.LookUpDnsName(reply.source, dnsName) != 0) {
        dnsName.clear();
    }
    if (devices_.AddIfNew(reply.source, addressText, dnsName, modelText, netbiosName)) {
        sink.AddDeviceRow(netbiosName, addressText, dnsName, modelText);
    }
}
