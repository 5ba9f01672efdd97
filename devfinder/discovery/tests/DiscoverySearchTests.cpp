#include <gtest/gtest.h>

#include <map>

#include "BrowseRequest.h"
#include "DiscoverySearch.h"
#include "ReplyScan.h"
#include "ReplyWriter.h"

namespace {

using namespace testing_replies;

const std::string kModel(kDiscoveryModel);

class RecordingNetwork : public DiscoveryNetwork {
public:
    bool hasAddress = true;
    Ipv4Address local = AddressFromBytes(192, 168, 5, 17);
    std::vector<std::string>* events = nullptr;
    std::vector<std::vector<std::uint8_t>> payloads;

    bool ResolveLocalAddress(Ipv4Address& address) override
    {
        address = local;
        return hasAddress;
    }
    void SendSnmpDatagram(Ipv4Address to, const std::uint8_t* bytes, std::size_t length) override
    {
        events->push_back("snmp " + DottedText(to));
        payloads.emplace_back(bytes, bytes + length);
    }
    void SendBrowseDatagram(Ipv4Address to, const std::uint8_t* bytes, std::size_t length) override
    {
        events->push_back("browse " + DottedText(to));
        payloads.emplace_back(bytes, bytes + length);
    }
};

// Time moves only when someone sleeps or a look-up takes long.
class FakeClock : public SearchClock {
public:
    long long milliseconds = 1'000'000;
    std::vector<std::string>* events = nullptr;

    long long NowSeconds() override { return milliseconds / 1000; }
    void Sleep(int ms) override
    {
        milliseconds += ms;
        if (events && ms != 50) {
            events->push_back("sleep " + std::to_string(ms));
        }
    }
};

class FakeDns : public DnsResolver {
public:
    std::map<Ipv4Address, std::string> labels;
    FakeClock* clock = nullptr;
    int millisecondsPerLookUp = 0;
    std::vector<Ipv4Address> asked;

    int LookUpDnsName(Ipv4Address address, std::string& hostLabel) override
    {
        asked.push_back(address);
        clock->milliseconds += millisecondsPerLookUp;
        const auto found = labels.find(address);
        if (found == labels.end()) {
            hostLabel.clear();
            return 9003;
        }
        hostLabel = found->second;
        return 0;
    }
};

struct Row {
    std::string netbios, address, dns, model;
    bool operator==(const Row&) const = default;
};

class RowRecorder : public DeviceRowSink {
public:
    std::vector<Row> rows;
    void AddDeviceRow(const std::string& netbiosName, const std::string& addressText, const std::string& dnsName,
                      const std::string& modelText) override
    {
        rows.push_back({netbiosName, addressText, dnsName, modelText});
    }
};

class DiscoverySearchTest : public ::testing::Test {
protected:
    DiscoverySearchTest()
    {
        network.events = &events;
        clock.events = &events;
        dns.clock = &clock;
    }

    void Reply(Ipv4Address from, const std::string& sysDescr)
    {
        const auto datagram = SysDescrResponse(sysDescr);
        search.StoreReply(from, datagram.data(), static_cast<int>(datagram.size()));
    }

    void Announce(Ipv4Address from, const std::string& name)
    {
        std::vector<std::uint8_t> datagram(60, 0);
        std::string padded = name;
        padded.resize(16, ' ');
        for (std::size_t i = 0; i < 16; ++i) {
            const auto byte = static_cast<std::uint8_t>(padded[i]);
            datagram[15 + 2 * i] = static_cast<std::uint8_t>('A' + (byte >> 4));
            datagram[16 + 2 * i] = static_cast<std::uint8_t>('A' + (byte & 15));
        }
        search.StoreBrowseDatagram(from, datagram.data(), static_cast<int>(datagram.size()));
    }

    void Match() { search.MatchReplies(rows, clock, dns); }

    std::vector<std::string> events;
    RecordingNetwork network;
    FakeClock clock;
    FakeDns dns;
    RowRecorder rows;
    DiscoverySearch search;
};

const Ipv4Address kPrinterA = AddressFromBytes(192, 168, 5, 21);
const Ipv4Address kPrinterB = AddressFromBytes(192, 168, 5, 22);

TEST_F(DiscoverySearchTest, BroadcastsGoToBothAddressesInOrderWithAPauseBeforeTheLastBrowse)
{
    search.BroadcastQueries(network, clock);
    EXPECT_EQ(events, (std::vector<std::string>{"snmp 192.168.5.255", "browse 192.168.5.255", "snmp 192.168.255.255",
                                                "sleep 100", "browse 192.168.255.255"}));
    ASSERT_EQ(network.payloads.size(), 4u);
    EXPECT_EQ(network.payloads[0].size(), 40u);
    EXPECT_EQ(network.payloads[1].size(), kBrowseRequestSize);
    EXPECT_EQ(network.payloads[0], network.payloads[2]);
    EXPECT_EQ(network.payloads[1], network.payloads[3]);
    EXPECT_EQ(search.LocalAddressText(), "192.168.5.17");
    EXPECT_EQ(search.BroadcastAddressText(), "192.168.255.255");
}

TEST_F(DiscoverySearchTest, WithoutALocalAddressNothingIsSentAndTheOldSearchIsForgotten)
{
    Reply(kPrinterA, kModel);
    search.MatchReplies(rows, clock, dns);
    ASSERT_EQ(search.Devices().Count(), 1);
    network.hasAddress = false;
    search.BroadcastQueries(network, clock);
    EXPECT_TRUE(events.empty());
    EXPECT_EQ(search.Devices().Count(), 0);
    EXPECT_EQ(search.Replies().Size(), 0u);
}

TEST_F(DiscoverySearchTest, LaterReplyFromTheSameAddressReplacesTheEarlierAndEmptyOnesAreDropped)
{
    Reply(kPrinterA, "something else");
    Reply(kPrinterA, kModel + " v2");
    search.StoreReply(kPrinterB, nullptr, 0);
    search.StoreReply(kPrinterB, nullptr, -1);
    EXPECT_EQ(search.Replies().Size(), 1u);
    Match();
    ASSERT_EQ(rows.rows.size(), 1u);
    EXPECT_EQ(rows.rows[0].model, kModel + " v2");
}

TEST_F(DiscoverySearchTest, RowsCarryNamesFromBothSourcesInWalkOrder)
{
    const Ipv4Address other = AddressFromBytes(192, 168, 5, 30);
    Reply(kPrinterA, kModel);
    Reply(kPrinterB, kModel + " B");
    Reply(other, "Linux router 5.10");
    Announce(kPrinterA, "PRN1");
    Announce(kPrinterB, "PRN2");
    dns.labels[kPrinterB] = "prn-lab";
    Match();

    std::vector<Row> expected;
    search.Replies().Walk([&](Ipv4Address address, const PacketRecord&) {
        if (address == kPrinterA) expected.push_back({"PRN1", "192.168.5.21", "", kModel});
        if (address == kPrinterB) expected.push_back({"PRN2", "192.168.5.22", "prn-lab", kModel + " B"});
        return true;
    });
    EXPECT_EQ(rows.rows, expected);
    EXPECT_EQ(dns.asked.size(), 2u) << "only matching devices are looked up";
}

TEST_F(DiscoverySearchTest, RepeatByNameGivesOneRowAndComparedNamesTurnUpperCase)
{
    // Walk order by bucket: .23 (3), .22 (4), .21 (5).
    const Ipv4Address third = AddressFromBytes(192, 168, 5, 23);
    Reply(kPrinterA, kModel);
    Reply(kPrinterB, kModel);
    Reply(third, kModel);
    dns.labels[third] = "other";
    dns.labels[kPrinterB] = "Prn-Lab";
    dns.labels[kPrinterA] = "prn-lab";
    Match();
    ASSERT_EQ(rows.rows.size(), 2u);
    EXPECT_EQ(rows.rows[0].dns, "other") << "shown before anything was compared with it";
    EXPECT_EQ(rows.rows[1].dns, "PRN-LAB");
    EXPECT_EQ(rows.rows[1].address, "192.168.5.22");
    std::string stored;
    ASSERT_TRUE(search.Devices().GetDnsName(0, stored));
    EXPECT_EQ(stored, "OTHER") << "later default port names use the upper-cased name";
}

TEST_F(DiscoverySearchTest, MatchingAlwaysUsesTheWholeBudget)
{
    Reply(kPrinterA, kModel);
    const long long startSeconds = clock.NowSeconds();
    Match();
    EXPECT_EQ(clock.NowSeconds() - startSeconds, kReplyWaitSeconds);
    EXPECT_EQ(rows.rows.size(), 1u);
}

TEST_F(DiscoverySearchTest, RepliesNotReachedWithinTheBudgetAreIgnored)
{
    for (int host = 1; host <= 5; ++host) {
        Reply(AddressFromBytes(192, 168, 5, static_cast<std::uint8_t>(16 * host)), kModel);
    }
    dns.millisecondsPerLookUp = 1400;
    Match();
    EXPECT_EQ(rows.rows.size(), 3u) << "look-ups at 0, 1.4 and 2.8 s; the fourth would start at 4.2 s";
}

TEST_F(DiscoverySearchTest, NetbiosNamesOutliveTheSearchAndOwnRequestNamesThisPc)
{
    search.BroadcastQueries(network, clock);
    const auto& ownRequest = network.payloads[1];
    search.StoreBrowseDatagram(network.local, ownRequest.data(), static_cast<int>(ownRequest.size()));
    Announce(kPrinterA, "PRN1");
    Announce(kPrinterA, "PRN1-NEW");
    search.BroadcastQueries(network, clock);
    ASSERT_NE(search.NetbiosNames().Find(network.local), nullptr);
    EXPECT_EQ(*search.NetbiosNames().Find(network.local), "E");
    ASSERT_NE(search.NetbiosNames().Find(kPrinterA), nullptr);
    EXPECT_EQ(*search.NetbiosNames().Find(kPrinterA), "PRN1-NEW");
}

}  // namespace
