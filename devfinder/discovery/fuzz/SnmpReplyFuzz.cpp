// One datagram of up to 1024 bytes as an SNMP reply, with a NetBIOS name and
// a DNS label for its sender, through the whole matching pass. A device
// reaches the list only when its reply really carries the family's model
// string inside an OCTET STRING; the list never holds a sender twice.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "DiscoverySearch.h"
#include "FuzzCheck.h"
#include "ReplyScan.h"

namespace {

class StepClock : public SearchClock {
public:
    long long milliseconds = 0;
    long long NowSeconds() override { return milliseconds / 1000; }
    void Sleep(int ms) override { milliseconds += ms; }
};

class OneLabelDns : public DnsResolver {
public:
    std::string label;
    int LookUpDnsName(Ipv4Address, std::string& hostLabel) override
    {
        hostLabel = label;
        return label.empty() ? 9003 : 0;
    }
};

struct Row {
    std::string netbios, address, dns, model;
};

class Rows : public DeviceRowSink {
public:
    std::vector<Row> rows;
    void AddDeviceRow(const std::string& netbiosName, const std::string& addressText, const std::string& dnsName,
                      const std::string& modelText) override
    {
        rows.push_back({netbiosName, addressText, dnsName, modelText});
    }
};

bool containsBytes(const uint8_t* data, size_t size, std::string_view text)
{
    if (text.size() > size)
        return false;
    for (size_t i = 0; i + text.size() <= size; ++i)
        if (std::memcmp(data + i, text.data(), text.size()) == 0)
            return true;
    return false;
}

}  // namespace

// Input: the datagram, sent twice (from two senders), the second copy also
// announced by NetBIOS with the first 60 bytes as its browse datagram.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > static_cast<size_t>(PacketRecord::kCapacity))
        return 0;
    const Ipv4Address first = AddressFromBytes(10, 77, 1, 21);
    const Ipv4Address second = AddressFromBytes(10, 77, 1, 22);
    DiscoverySearch search;
    const int length = static_cast<int>(size);
    search.StoreReply(first, data, length);
    search.StoreReply(second, data, length);
    search.StoreBrowseDatagram(second, data, length < 60 ? length : 60);

    StepClock clock;
    OneLabelDns dns;
    dns.label = size > 3 ? std::string(reinterpret_cast<const char*>(data), 3) : std::string();
    Rows sink;
    search.MatchReplies(sink, clock, dns);

    const bool carriesModel = containsBytes(data, size, kDiscoveryModel);
    FUZZ_CHECK(carriesModel || sink.rows.empty(), "a device without the model string was listed");
    FUZZ_CHECK(sink.rows.size() <= 2, "a sender was listed more than once");
    for (const Row& row : sink.rows) {
        FUZZ_CHECK(row.model.compare(0, kDiscoveryModel.size(), kDiscoveryModel) == 0,
                   "a listed model text does not start with the model string");
        FUZZ_CHECK(row.model.size() <= size, "a model text longer than its reply");
        FUZZ_CHECK(row.address == "10.77.1.21" || row.address == "10.77.1.22", "a row with an unknown address");
    }
    return 0;
}
