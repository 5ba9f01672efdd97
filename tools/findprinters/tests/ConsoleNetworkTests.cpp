#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <set>
#include <utility>
#include <vector>

#include "BrowseRequest.h"
#include "ConsoleNetwork.h"
#include "ReplyScan.h"

namespace {

// Sockets on a scripted network whose time moves only while waiting.
class ScriptedConsoleNetwork : public ConsoleNetwork {
public:
    struct Arrival {
        long long atMilliseconds;
        Endpoint endpoint;
        Ipv4Address from;
        std::size_t length;
    };
    struct Binding {
        Endpoint endpoint;
        unsigned short port;
        bool operator==(const Binding& other) const { return endpoint == other.endpoint && port == other.port; }
    };
    struct Reading {
        Endpoint endpoint;
        Ipv4Address from;
        std::size_t capacity;
    };

    std::set<unsigned short> freePorts;
    std::deque<Arrival> arrivals;
    std::vector<Binding> bindings;
    std::vector<Reading> readings;
    std::set<Endpoint> boundEndpoints;
    long long now = 5000;

    std::vector<Binding> sends;

    bool ResolveLocalAddress(Ipv4Address&) override { return false; }

    static constexpr Endpoint kSnmp = Endpoint::Snmp;
    static constexpr Endpoint kBrowse = Endpoint::Browse;

private:
    bool Bind(Endpoint endpoint, unsigned short port) override
    {
        bindings.push_back({endpoint, port});
        const bool bound = freePorts.erase(port) == 1;
        if (bound) {
            boundEndpoints.insert(endpoint);
        }
        return bound;
    }

    bool WaitForDatagrams(int milliseconds, Readiness& ready) override
    {
        if (arrivals.empty() || arrivals.front().atMilliseconds > now + milliseconds) {
            now += milliseconds;
            return false;
        }
        now = std::max(now, arrivals.front().atMilliseconds);
        const Endpoint endpoint = arrivals.front().endpoint;
        (endpoint == kSnmp ? ready.snmp : ready.browse) = true;
        // A socket that was never opened must not be read even if reported.
        if (boundEndpoints.count(endpoint) == 0) {
            arrivals.pop_front();
        }
        return true;
    }

    int Receive(Endpoint endpoint, std::uint8_t* buffer, std::size_t capacity, Ipv4Address& from) override
    {
        const Arrival arrival = arrivals.front();
        arrivals.pop_front();
        readings.push_back({endpoint, arrival.from, capacity});
        if (arrival.length > capacity) {
            return -1;
        }
        // A reply of the family where it fits: the search keeps no other
        // reply of a sender it does not know yet.
        std::fill(buffer, buffer + arrival.length, std::uint8_t{0x30});
        if (arrival.length > kDiscoveryModel.size() + 3) {
            buffer[1] = 0x04;
            buffer[2] = static_cast<std::uint8_t>(kDiscoveryModel.size());
            std::copy(kDiscoveryModel.begin(), kDiscoveryModel.end(), buffer + 3);
        }
        from = arrival.from;
        return static_cast<int>(arrival.length);
    }

    void Send(Endpoint endpoint, Ipv4Address, unsigned short port, const std::uint8_t*, std::size_t) override
    {
        sends.push_back({endpoint, port});
    }

    long long NowMilliseconds() override { return now; }
};

using Binding = ScriptedConsoleNetwork::Binding;
constexpr auto kSnmp = ScriptedConsoleNetwork::kSnmp;
constexpr auto kBrowse = ScriptedConsoleNetwork::kBrowse;

TEST(ConsoleNetworkOpen, TriesPort138FirstThenTheSnmpPortsInOrderUntilOneBinds)
{
    ScriptedConsoleNetwork network;
    network.freePorts = {1027, 1030};
    EXPECT_TRUE(network.Open());
    EXPECT_FALSE(network.HasBrowseSocket());
    const std::vector<Binding> expected = {
        {kBrowse, 138}, {kSnmp, 1025}, {kSnmp, 1026}, {kSnmp, 1027}};
    EXPECT_EQ(network.bindings, expected);

    ScriptedConsoleNetwork noSnmpPort;
    noSnmpPort.freePorts = {138, 1035};
    EXPECT_FALSE(noSnmpPort.Open());
    EXPECT_TRUE(noSnmpPort.HasBrowseSocket());
    ASSERT_EQ(noSnmpPort.bindings.size(), 11u);
    EXPECT_EQ(noSnmpPort.bindings.back(), (Binding{kSnmp, 1034}));
}

TEST(ConsoleNetworkSend, QueriesLeaveFromTheirOwnSocketForTheirOwnPort)
{
    ScriptedConsoleNetwork network;
    const std::uint8_t query[] = {0x30};
    network.SendSnmpDatagram(0x0A4D01FF, query, sizeof query);
    network.SendBrowseDatagram(0x0A4D01FF, query, sizeof query);
    const std::vector<Binding> expected = {{kSnmp, 161}, {kBrowse, 138}};
    EXPECT_EQ(network.sends, expected);
}

TEST(ConsoleNetworkListen, StoresTheRepliesThatFitAndArriveBeforeTheDeadline)
{
    ScriptedConsoleNetwork network;
    network.freePorts = {138, 1025};
    ASSERT_TRUE(network.Open());
    const Ipv4Address early = 0x0A4D0115, oversized = 0x0A4D0116, late = 0x0A4D0117;
    network.arrivals = {{5010, kSnmp, early, 40},
                        {5020, kBrowse, early, 200},
                        {5030, kSnmp, oversized, PacketRecord::kCapacity + 1},
                        {6001, kSnmp, late, 40}};
    DiscoverySearch search;
    network.Listen(search, 1000);

    EXPECT_NE(search.Replies().Find(early), nullptr);
    EXPECT_EQ(search.Replies().Find(oversized), nullptr);
    EXPECT_EQ(search.Replies().Find(late), nullptr);
    EXPECT_EQ(network.now, 6000);
    ASSERT_EQ(network.readings.size(), 3u);
    EXPECT_EQ(network.readings[0].capacity, static_cast<std::size_t>(PacketRecord::kCapacity));
    EXPECT_EQ(network.readings[1].endpoint, kBrowse);
    EXPECT_EQ(network.readings[1].capacity, kBrowseReceiveBufferSize);
    EXPECT_EQ(network.arrivals.size(), 1u);
}

TEST(ConsoleNetworkListen, NeverReadsPort138WhenItCouldNotBeBound)
{
    ScriptedConsoleNetwork network;
    network.freePorts = {1025};
    ASSERT_TRUE(network.Open());
    network.arrivals = {{5010, kBrowse, 0x0A4D0115, 40}};
    DiscoverySearch search;
    network.Listen(search, 100);
    EXPECT_TRUE(network.readings.empty());
    EXPECT_EQ(network.now, 5100);

    network.Listen(search, 0);
    EXPECT_EQ(network.now, 5100);
}

}  // namespace
