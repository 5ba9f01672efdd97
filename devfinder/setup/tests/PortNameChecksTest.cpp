#include "PortNameChecks.h"

#include <gtest/gtest.h>

namespace {

using Strings = std::vector<std::string>;
const Strings kNoNames;

TEST(PortNameChecks, EachPortNameRefusalInItsOrder) {
    EXPECT_EQ(CheckPortNames("", "Lab", kNoNames, kNoNames), PortNameRefusal::NameMissing);
    EXPECT_EQ(CheckPortNames(" IP_lab", "Lab", kNoNames, kNoNames), PortNameRefusal::LeadingSpace);
    EXPECT_EQ(CheckPortNames("IP\\lab", "Lab", kNoNames, kNoNames), PortNameRefusal::Backslash);
    EXPECT_EQ(CheckPortNames("IP/lab", "Lab", kNoNames, kNoNames), PortNameRefusal::Slash);
    // A leading space is reported before the backslash, the backslash before the slash.
    EXPECT_EQ(CheckPortNames(" IP\\/lab", "Lab", kNoNames, kNoNames), PortNameRefusal::LeadingSpace);
    EXPECT_EQ(CheckPortNames("IP/\\lab", "Lab", kNoNames, kNoNames), PortNameRefusal::Backslash);
    EXPECT_EQ(static_cast<unsigned>(PortNameRefusal::NameMissing), 2004u);
    EXPECT_EQ(static_cast<unsigned>(PortNameRefusal::LeadingSpace), 2005u);
    EXPECT_EQ(static_cast<unsigned>(PortNameRefusal::Backslash), 2006u);
    EXPECT_EQ(static_cast<unsigned>(PortNameRefusal::Slash), 2007u);
}

TEST(PortNameChecks, PortNamesInUseCompareExactly) {
    const Strings ports{"IP_lab"};
    EXPECT_EQ(CheckPortNames("IP_lab", "Lab", ports, kNoNames), PortNameRefusal::PortNameInUse);
    EXPECT_EQ(CheckPortNames("ip_LAB", "Lab", ports, kNoNames), PortNameRefusal::None);
    EXPECT_EQ(CheckPortNames("IP_lab ", "Lab", ports, kNoNames), PortNameRefusal::None);
    EXPECT_EQ(static_cast<unsigned>(PortNameRefusal::PortNameInUse), 2001u);
}

TEST(PortNameChecks, ThePrinterNameIsCheckedAfterAValidPortName) {
    const Strings printers{"Lab"};
    EXPECT_EQ(CheckPortNames("IP_lab", "", kNoNames, printers), PortNameRefusal::NameMissing);
    EXPECT_EQ(CheckPortNames("IP_lab", " Lab", kNoNames, printers), PortNameRefusal::LeadingSpace);
    EXPECT_EQ(CheckPortNames("IP_lab", "a\\b", kNoNames, printers), PortNameRefusal::Backslash);
    EXPECT_EQ(CheckPortNames("IP_lab", "a/b", kNoNames, printers), PortNameRefusal::Slash);
    EXPECT_EQ(CheckPortNames("IP_lab", "Lab", kNoNames, printers), PortNameRefusal::PrinterNameInUse);
    EXPECT_EQ(CheckPortNames("IP_lab", "LAB", kNoNames, printers), PortNameRefusal::None);
    EXPECT_EQ(static_cast<unsigned>(PortNameRefusal::PrinterNameInUse), 2002u);
    // A bad port name is reported even when the printer name is bad too.
    EXPECT_EQ(CheckPortNames("", "Lab", kNoNames, printers), PortNameRefusal::NameMissing);
}

TEST(PortNameChecks, TheProposedUnitNamePassesForBothWhenUnused) {
    EXPECT_EQ(CheckPortNames("prn-lab", "prn-lab", {"IP_other"}, {"Other"}), PortNameRefusal::None);
    // A port name in use only as a printer name (and the reverse) is fine.
    EXPECT_EQ(CheckPortNames("Lab", "IP_lab", {"IP_lab"}, {"Lab"}), PortNameRefusal::None);
}

}  // namespace
