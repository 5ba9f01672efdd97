// One datagram of up to 1024 bytes as an SNMP reply, with a NetBIOS name and
// a DNS label for its sender, through the whole matching pass. A device
// reaches the list only when its reply really carries the family's model
// string inside an OCTET STRING; the list never holds a sender twice. The
// senders' names differ (or are missing), so the table's check for repeated
// names cannot hide a sender listed twice.
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
    long long NowMilliseconds() override { return milliseconds; }
    void Sleep(int ms) override { milliseconds += ms; }
};

// A label of its own for each sender, or none when the input's first byte says so.
class PerSenderDns : public DnsResolver {
public:
    bool answers = false;
    int LookUpDnsName(Ipv4Address address, std::string& hostLabel, int) override
    {
        hostLabel = answers ? "prn-" + DottedText(address) : std::string();
        return answers ? 0 : 9003;
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
    PerSenderDns dns;
    dns.answers = size > 0 && (data[0] & 1) != 0;
    Rows sink;
    search.MatchReplies(sink, clock, dns);

    const bool carriesModel = containsBytes(data, size, kDiscoveryModel);
    FUZZ_CHECK(carriesModel || sink.rows.empty(), "a device without the model string was listed");
    int firstRows = 0, secondRows = 0;
    for (const Row& row : sink.rows) {
        firstRows += row.address == "10.77.1.21";
        secondRows += row.address == "10.77.1.22";
    }
    FUZZ_CHECK(firstRows <= 1 && secondRows <= 1, "a sender was listed more than once");
    for (const Row& row : sink.rows) {
        FUZZ_CHECK(row.model.compare(0, kDiscoveryModel.size(), kDiscoveryModel) == 0,
                   "a listed model text does not start with the model string");
        FUZZ_CHECK(row.model.size() <= size, "a model text longer than its reply");
        FUZZ_CHECK(row.address == "10.77.1.21" || row.address == "10.77.1.22", "a row with an unknown address");
    }
    return 0;
}
