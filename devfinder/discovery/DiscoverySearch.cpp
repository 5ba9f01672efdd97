#include "DiscoverySearch.h"

#include <algorithm>
#include <vector>

#include "BrowseRequest.h"
#include "ReplyScan.h"
#include "SnmpRequest.h"
#include "Stopwatch.h"

namespace {

// Give the devices a moment between the two rounds of broadcasts.
constexpr int kPauseBetweenBroadcastsMs = 100;
// How often an idle matching pass looks at the clock.
constexpr int kIdlePollMs = 50;
// What a reverse look-up leaves of the budget for each device still to come,
// enough to list it by its address: a slow name server must not hide the
// devices after the one it is asked about.
constexpr long long kReservePerDeviceMs = 100;

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
    if (!replies_.Find(source)) {
        // Only a device of the family may take one of the limited places.
        std::string modelText;
        if (replies_.Size() >= kMaxStoredReplies || !FindFirstModelText(record, kDiscoveryModel, modelText)) {
            return;
        }
    }
    replies_.Set(source, record);
}

void DiscoverySearch::StoreBrowseDatagram(Ipv4Address source, const std::uint8_t* data, int length)
{
    if (length <= 0) {
        return;
    }
    std::string name = DecodeNetbiosSourceName(data, static_cast<std::size_t>(length));
    if (name.empty()) {
        return;
    }
    oemToAnsi_(name);
    // Names are learnt again at every search, so a full map may start afresh.
    if (netbiosNames_.Size() >= kMaxNetbiosNames && !netbiosNames_.Find(source)) {
        netbiosNames_.Clear();
    }
    netbiosNames_.Set(source, std::move(name));
}

void DiscoverySearch::MatchReplies(DeviceRowSink& sink, SearchClock& clock, DnsResolver& dns, int budgetSeconds)
{
    const long long budget = budgetSeconds * 1000LL;
    Stopwatch stopwatch(clock);
    // The senders present now. The window dispatches messages while it
    // waits, so a reply may be replaced meanwhile; each is looked up again
    // when its turn comes.
    std::vector<Ipv4Address> walk;
    walk.reserve(replies_.Size());
    replies_.Walk([&walk](Ipv4Address address, const PacketRecord&) {
        walk.push_back(address);
        return true;
    });
    std::size_t next = 0;
    // After one look-up has run out of time the name server is taken to be
    // away for this search: the rest go without, so no more than one query
    // is left to end by itself.
    bool lookUps = true;
    for (long long elapsed = 0; (elapsed = stopwatch.ElapsedMilliseconds()) < budget;) {
        if (next == walk.size()) {
            clock.Sleep(static_cast<int>(std::min<long long>(kIdlePollMs, budget - elapsed)));
            continue;
        }
        const auto devicesAfter = static_cast<long long>(walk.size() - next - 1);
        const PacketRecord* reply = replies_.Find(walk[next++]);
        std::string modelText;
        if (reply && FindFirstModelText(*reply, kDiscoveryModel, modelText)) {
            const long long lookUpMilliseconds = lookUps ? budget - elapsed - kReservePerDeviceMs * devicesAfter : 0;
            if (!HandleMatch(*reply, std::move(modelText), sink, clock, dns, lookUpMilliseconds)) {
                lookUps = false;
            }
        }
        clock.Sleep(0);
    }
}

bool DiscoverySearch::HandleMatch(const PacketRecord& reply, std::string modelText, DeviceRowSink& sink,
                                  SearchClock& clock, DnsResolver& dns, long long lookUpMilliseconds)
{
    const Ipv4Address source = reply.source;
    const std::string addressText = DottedText(source);
    const std::string* known = netbiosNames_.Find(source);
    std::string netbiosName = known ? *known : std::string();
    std::string dnsName;
    bool answeredInTime = true;
    if (lookUpMilliseconds > 0) {
        Stopwatch lookUp(clock);
        if (dns.LookUpDnsName(source, dnsName, static_cast<int>(lookUpMilliseconds)) != 0) {
            dnsName.clear();
            answeredInTime = lookUp.ElapsedMilliseconds() < lookUpMilliseconds;
        }
    }
    if (devices_.AddIfNew(source, addressText, dnsName, modelText, netbiosName)) {
        sink.AddDeviceRow(netbiosName, addressText, dnsName, modelText);
    }
    return answeredInTime;
}
