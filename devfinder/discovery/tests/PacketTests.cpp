#include <gtest/gtest.h>

#include <string>

#include "BrowseRequest.h"
#include "Ipv4Address.h"
#include "SnmpRequest.h"

namespace {

std::string Hex(const std::uint8_t* bytes, std::size_t count)
{
    static const char digits[] = "0123456789abcdef";
    std::string text;
    for (std::size_t i = 0; i < count; ++i) {
        text += digits[bytes[i] >> 4];
        text += digits[bytes[i] & 15];
    }
    return text;
}

TEST(SnmpRequest, CommunityTarnixGivesTheFortyByteGetRequest)
{
    PacketRecord request;
    ASSERT_TRUE(BuildSnmpRequest(kCommunity, request));
    EXPECT_EQ(request.length, 40);
    EXPECT_EQ(request.source, 0u);
    EXPECT_EQ(Hex(request.data, 40),
              "302602010004067461726e6978"
              "a019020101020100020100300e300c06082b060102010101000500");
    EXPECT_EQ(request.data[40], 0) << "nothing beyond the message";
}

TEST(SnmpRequest, CommunityLengthMovesTheTemplate)
{
    PacketRecord request;
    ASSERT_TRUE(BuildSnmpRequest("public", request));
    EXPECT_EQ(request.data[1], 38);
    ASSERT_TRUE(BuildSnmpRequest("", request));
    EXPECT_EQ(request.length, 34);
    EXPECT_EQ(Hex(request.data, 9), "3020020100040" "0a019");
}

TEST(SnmpRequest, CommunityTooLongForAShortFormLengthIsRefused)
{
    PacketRecord request;
    EXPECT_TRUE(BuildSnmpRequest(std::string(95, 'c'), request));
    EXPECT_EQ(request.data[1], 0x7F);
    EXPECT_FALSE(BuildSnmpRequest(std::string(96, 'c'), request));
    EXPECT_EQ(request.length, 0);
}

TEST(BrowseRequest, IsTheWholeAnnouncementRequestWithTheLocalAddress)
{
    const auto packet = BuildBrowseRequest(AddressFromBytes(192, 168, 5, 17));
    EXPECT_EQ(Hex(packet.data(), packet.size()),
              "110e0000c0a80511008a00a5000020454643414341434143414341434143414341434143"
              "414341434143414341414100200000000000000000000000000000000000000000000000"
              "00000000000000000000ff534d4225000000000000000000000000000000000000000000"
              "0000000000001100000a000000000000000000640000000000000000000a005600030001"
              "00010002001c005c4d41494c534c4f545c42524f57534500020042524f57534500000000");
}

TEST(BrowseRequest, OwnRequestDecodesAsE)
{
    const auto packet = BuildBrowseRequest(AddressFromBytes(10, 0, 0, 1));
    EXPECT_EQ(DecodeNetbiosSourceName(packet.data(), packet.size()), "E");
}

TEST(Ipv4Address, BroadcastsComeFromTheLocalAddressAlone)
{
    const Ipv4Address local = AddressFromBytes(192, 168, 5, 17);
    EXPECT_EQ(DottedText(SubnetBroadcast(local)), "192.168.5.255");
    EXPECT_EQ(DottedText(WideBroadcast(local)), "192.168.255.255");
}

TEST(Ipv4Address, WireOrderIsTheLittleEndianReading)
{
    const std::uint8_t wire[4] = {10, 77, 1, 21};
    const Ipv4Address address = AddressFromWire(wire);
    EXPECT_EQ(address, 0x15014D0Au);
    std::uint8_t back[4] = {};
    AddressToWire(address, back);
    EXPECT_EQ(Hex(back, 4), "0a4d0115");
}

TEST(Ipv4Address, ParsesOnlyStrictDottedQuads)
{
    Ipv4Address address = 0;
    EXPECT_TRUE(ParseDotted("10.77.1.21", address));
    EXPECT_EQ(DottedText(address), "10.77.1.21");
    for (const char* bad : {"", "10.77.1", "10.77.1.256", "10.77.1.21.", "10..1.2", "a.b.c.d", "1.2.3.4 ", "0001.2.3.4"}) {
        EXPECT_FALSE(ParseDotted(bad, address)) << bad;
    }
}

}  // namespace
