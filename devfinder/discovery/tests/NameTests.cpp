#include <gtest/gtest.h>

#include <vector>

#include "BrowseRequest.h"
#include "ReverseName.h"

namespace {

// A datagram whose source name field holds the first-level encoding of the
// 16 given bytes (name padded as the sender pads it, suffix last).
std::vector<std::uint8_t> DatagramNamed(const std::string& sixteenBytes, std::size_t totalLength = 200)
{
    std::vector<std::uint8_t> datagram(47, 0);
    datagram[14] = 0x20;
    for (std::size_t i = 0; i < 16; ++i) {
        const auto byte = static_cast<std::uint8_t>(sixteenBytes[i]);
        datagram[15 + 2 * i] = static_cast<std::uint8_t>('A' + (byte >> 4));
        datagram[16 + 2 * i] = static_cast<std::uint8_t>('A' + (byte & 15));
    }
    datagram.resize(totalLength);
    return datagram;
}

std::string Padded(const std::string& name, char suffix)
{
    std::string bytes = name;
    bytes.resize(15, ' ');
    return bytes + suffix;
}

std::string Decode(const std::vector<std::uint8_t>& datagram)
{
    return DecodeNetbiosSourceName(datagram.data(), datagram.size());
}

TEST(NetbiosName, NamePaddedWithSpacesEndsAtTheFirstSpace)
{
    EXPECT_EQ(Decode(DatagramNamed(Padded("PRN1", '\x20'))), "PRN1");
}

TEST(NetbiosName, FifteenCharacterNameWithSuffixZeroKeepsAllFifteen)
{
    EXPECT_EQ(Decode(DatagramNamed(Padded("ABCDEFGHIJKLMNO", '\0'))), "ABCDEFGHIJKLMNO");
}

TEST(NetbiosName, NameWithoutSpaceOrZeroGivesSixteenBytes)
{
    EXPECT_EQ(Decode(DatagramNamed("ABCDEFGHIJKLMNO\x1D")), std::string("ABCDEFGHIJKLMNO\x1D"));
}

TEST(NetbiosName, ShortDatagramsCarryNoName)
{
    EXPECT_EQ(Decode(DatagramNamed(Padded("PRN1", ' '), 47)), "PRN1");
    EXPECT_EQ(Decode(DatagramNamed(Padded("PRN1", ' '), 46)), "");
}

TEST(NetbiosName, BytesOutsideTheEncodingAlphabetDecodeModulo256)
{
    // Zero bytes decode to 0xAF each (0 - 0x51 mod 256); nothing stops them.
    std::vector<std::uint8_t> zeros(47, 0);
    EXPECT_EQ(Decode(zeros), std::string(16, '\xAF'));
}

TEST(ReverseName, ReversesTheFourBytesUnderInAddrArpa)
{
    EXPECT_EQ(ReverseLookupName(AddressFromBytes(192, 168, 5, 17)), "17.5.168.192.in-addr.arpa");
}

TEST(ReverseName, LabelIsTheTextBeforeTheFirstDot)
{
    EXPECT_EQ(HostLabel("prn-lab.office.example"), "prn-lab");
    EXPECT_EQ(HostLabel("prn-lab."), "prn-lab");
    EXPECT_EQ(HostLabel("prnlab"), "");
    EXPECT_EQ(HostLabel(".example"), "");
    EXPECT_EQ(HostLabel(""), "");
}

}  // namespace

namespace {

TEST(NetbiosName, RandomDatagramsDecodeToAtMostSixteenBytes)
{
    std::uint32_t state = 777;
    std::vector<std::uint8_t> datagram(256);
    for (int round = 0; round < 2000; ++round) {
        for (auto& byte : datagram) {
            state = state * 1664525u + 1013904223u;
            byte = static_cast<std::uint8_t>(state >> 24);
        }
        const std::size_t length = state % 257;
        const std::string name = DecodeNetbiosSourceName(datagram.data(), length);
        EXPECT_LE(name.size(), 16u);
        EXPECT_EQ(name.find('\0'), std::string::npos);
        EXPECT_EQ(name.find(' '), std::string::npos);
    }
}

}  // namespace
