#include <gtest/gtest.h>

#include "DeviceTable.h"

namespace {

struct Candidate {
    std::string dns;
    std::string netbios;
};

bool Add(DeviceTable& table, Ipv4Address address, Candidate& candidate)
{
    return table.AddIfNew(address, DottedText(address), candidate.dns, "model", candidate.netbios);
}

TEST(DeviceTable, SameDnsNameInOtherCaseIsARepeat)
{
    DeviceTable table;
    Candidate first{"prn-lab", ""};
    Candidate second{"PRN-Lab", ""};
    EXPECT_TRUE(Add(table, 1, first));
    EXPECT_FALSE(Add(table, 2, second));
    EXPECT_EQ(table.Count(), 1);
}

TEST(DeviceTable, DevicesWithoutNamesAreNeverRepeatsEvenAtOneAddress)
{
    DeviceTable table;
    Candidate a, b, c;
    EXPECT_TRUE(Add(table, 1, a));
    EXPECT_TRUE(Add(table, 2, b));
    EXPECT_TRUE(Add(table, 1, c));
    EXPECT_EQ(table.Count(), 3);
}

TEST(DeviceTable, NetbiosNameIsComparedWhenDnsNamesDiffer)
{
    DeviceTable table;
    Candidate first{"alpha", "prn1"};
    Candidate second{"beta", "Prn1"};
    EXPECT_TRUE(Add(table, 1, first));
    EXPECT_FALSE(Add(table, 2, second));
}

TEST(DeviceTable, ComparedNamesStayUpperCasedOnBothSides)
{
    DeviceTable table;
    Candidate first{"alpha", "prn1"};
    Candidate second{"beta", ""};
    ASSERT_TRUE(Add(table, 1, first));
    ASSERT_TRUE(Add(table, 2, second));
    // The candidate's names were converted in place; the caller's row shows them so.
    EXPECT_EQ(second.dns, "BETA");
    EXPECT_EQ(second.netbios, "");
    std::string name;
    ASSERT_TRUE(table.GetDnsName(0, name));
    EXPECT_EQ(name, "ALPHA");
    ASSERT_TRUE(table.GetNetbiosName(0, name));
    EXPECT_EQ(name, "PRN1");
    ASSERT_TRUE(table.GetDnsName(1, name));
    EXPECT_EQ(name, "BETA");
}

TEST(DeviceTable, FirstDeviceKeepsItsCaseUntilSomethingIsComparedWithIt)
{
    DeviceTable table;
    Candidate only{"prn-lab", "Prn1"};
    ASSERT_TRUE(Add(table, 1, only));
    EXPECT_EQ(only.dns, "prn-lab");
    std::string name;
    ASSERT_TRUE(table.GetNetbiosName(0, name));
    EXPECT_EQ(name, "Prn1");
}

TEST(DeviceTable, UsesTheSuppliedUpperCaseConversion)
{
    static int calls = 0;
    calls = 0;
    DeviceTable table([](std::string& text) {
        ++calls;
        AsciiUpperCaseInPlace(text);
    });
    Candidate first{"a", ""};
    Candidate second{"b", ""};
    Add(table, 1, first);
    Add(table, 2, second);
    EXPECT_EQ(calls, 2);
}

TEST(DeviceTable, GettersRefuseIndexesOutsideTheTable)
{
    DeviceTable table;
    Candidate c{"x", "y"};
    Add(table, AddressFromBytes(10, 0, 0, 7), c);
    std::string text = "untouched";
    Ipv4Address address = 99;
    EXPECT_FALSE(table.GetDnsName(-1, text));
    EXPECT_FALSE(table.GetNetbiosName(1, text));
    EXPECT_FALSE(table.GetAddress(1, address));
    EXPECT_EQ(text, "untouched");
    EXPECT_TRUE(table.GetAddress(0, address));
    EXPECT_EQ(DottedText(address), "10.0.0.7");
    table.Clear();
    EXPECT_EQ(table.Count(), 0);
    EXPECT_FALSE(table.GetAddress(0, address));
}

}  // namespace
