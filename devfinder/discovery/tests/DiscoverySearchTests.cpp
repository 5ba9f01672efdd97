#include <gtest/gtest.h>

#include <algorithm>
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

    long long NowMilliseconds() override { return milliseconds; }
    void Sleep(int ms) override
    {
        milliseconds += ms;
        if (events && ms != 50 && ms != 0) {
            events->push_back("sleep " + std::to_string(ms));
        }
    }
};

class FakeDns : public DnsResolver {
public:
    std::map<Ipv4Address, std::string> labels;
    FakeClock* clock = nullptr;
    int millisecondsPerLookUp = 0;  // less than 0: the clock is set back meanwhile
    std::vector<Ipv4Address> asked;
    std::vector<int> timeouts;

    int LookUpDnsName(Ipv4Address address, std::string& hostLabel, int timeoutMilliseconds) override
    {
        asked.push_back(address);
        timeouts.push_back(timeoutMilliseconds);
        hostLabel.clear();
        if (millisecondsPerLookUp > timeoutMilliseconds) {
            clock->milliseconds += timeoutMilliseconds;
            return 1460;
        }
        clock->milliseconds += millisecondsPerLookUp;
        const auto found = labels.find(address);
        if (found == labels.end()) {
            return 9003;
        }
        hostLabel = found->second;
        return 0;
    }
};

// The a-umlaut of NetBIOS names (OEM code page 437) as the ANSI code page 1252 has it.
void Cp437ToLatin1(std::string& text)
{
    std::replace(text.begin(), text.end(), '\x84', '\xE4');
}

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
    DiscoverySearch search{AsciiUpperCaseInPlace, Cp437ToLatin1};
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
    const long long start = clock.NowMilliseconds();
    Match();
    EXPECT_EQ(clock.NowMilliseconds() - start, kReplyWaitSeconds * 1000);
    EXPECT_EQ(rows.rows.size(), 1u);
}

// Look-ups share the budget, but each leaves 100 ms for every device still
// to come, and after one has run out of time the rest go without: with
// 1.4 s each the first answers, the second gives up at 2.7 s and the other
// three are listed by address; one that never answers cannot hide the
// devices after it; a clock set back an hour during each look-up (a
// monotonic clock never is) does not stretch the pass.
TEST_F(DiscoverySearchTest, ASlowLookUpNeverCrowdsLaterDevicesOutOfTheList)
{
    const struct {
        int lookUpMilliseconds;
        std::vector<int> timeouts;
        long long clockAdvance;
    } cases[] = {
        {1400, {2600, 1300}, 3000},
        {60'000, {2600}, 3000},
        {-3'600'000, {2600, 2700, 2800, 2900, 3000}, 3000 - 5 * 3'600'000LL},
    };
    for (const auto& c : cases) {
        DiscoverySearch fresh;
        const auto datagram = SysDescrResponse(kModel);
        for (int host = 1; host <= 5; ++host) {
            fresh.StoreReply(AddressFromBytes(192, 168, 5, static_cast<std::uint8_t>(16 * host)), datagram.data(),
                             static_cast<int>(datagram.size()));
        }
        RowRecorder sink;
        dns.timeouts.clear();
        dns.millisecondsPerLookUp = c.lookUpMilliseconds;
        const long long start = clock.NowMilliseconds();
        fresh.MatchReplies(sink, clock, dns);
        EXPECT_EQ(clock.NowMilliseconds() - start, c.clockAdvance) << c.lookUpMilliseconds;
        EXPECT_EQ(sink.rows.size(), 5u) << "a device whose name did not come in time is listed by address";
        EXPECT_EQ(dns.timeouts, c.timeouts);
    }
}

TEST_F(DiscoverySearchTest, OneDatagramNamingTheFamilyManyTimesIsOneDevice)
{
    // 34 sysDescr strings of the family in one datagram of 1021 bytes, from
    // a device without names: one row and one look-up.
    std::vector<std::uint8_t> datagram{0x30};
    for (int i = 0; i < 34; ++i) {
        datagram.insert(datagram.end(), {0x04, static_cast<std::uint8_t>(kModel.size())});
        datagram.insert(datagram.end(), kModel.begin(), kModel.end());
    }
    search.StoreReply(kPrinterA, datagram.data(), static_cast<int>(datagram.size()));
    Match();
    EXPECT_EQ(rows.rows.size(), 1u);
    EXPECT_EQ(dns.asked.size(), 1u);
}

TEST_F(DiscoverySearchTest, ForgedSendersCannotGrowTheStoresWithoutEnd)
{
    const auto family = SysDescrResponse(kModel);
    const auto other = SysDescrResponse("Linux router 5.10");
    for (std::uint32_t forged = 1; forged <= 5000; ++forged) {
        const Ipv4Address sender = AddressFromBytes(10, static_cast<std::uint8_t>(forged >> 8),
                                                    static_cast<std::uint8_t>(forged), 1);
        search.StoreReply(sender, family.data(), static_cast<int>(family.size()));
        search.StoreReply(sender + 2, other.data(), static_cast<int>(other.size()));
        Announce(sender, "FORGED");
    }
    EXPECT_EQ(search.Replies().Size(), kMaxStoredReplies) << "new senders wait for the next search";
    EXPECT_LE(search.NetbiosNames().Size(), kMaxNetbiosNames);
    EXPECT_NE(search.NetbiosNames().Find(AddressFromBytes(10, 19, 136, 1)), nullptr) << "the latest name is known";
    // A sender already stored still has its later datagram replace the earlier.
    const Ipv4Address first = AddressFromBytes(10, 0, 1, 1);
    search.StoreReply(first, other.data(), static_cast<int>(other.size()));
    EXPECT_EQ(search.Replies().Find(first)->length, static_cast<std::int32_t>(other.size()));
}

TEST_F(DiscoverySearchTest, NetbiosNamesAreConvertedFromTheOemCodePage)
{
    Announce(kPrinterA, "K\x84" "CHE");
    ASSERT_NE(search.NetbiosNames().Find(kPrinterA), nullptr);
    EXPECT_EQ(*search.NetbiosNames().Find(kPrinterA), "K\xE4" "CHE");
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
