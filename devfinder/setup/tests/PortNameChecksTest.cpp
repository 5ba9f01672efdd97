#include "PortNameChecks.h"

#include <gtest/gtest.h>

#include "Latin1Text.h"

namespace {

using Strings = std::vector<std::string>;
const NamesInUse kNoNames;
const Latin1Text kLatin1;

PortNameRefusal Check(const std::string& port, const std::string& printer, const NamesInUse& inUse = kNoNames)
{
    return CheckPortNames(port, printer, inUse, kLatin1);
}

// Shift-JIS, as on Japanese Windows: lead bytes 0x81-0x9F and 0xE0-0xFC,
// each character one UTF-16 unit.
class ShiftJisText : public Latin1Text {
public:
    bool IsLeadByte(char byte) const override
    {
        const auto b = static_cast<unsigned char>(byte);
        return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
    }
    std::u16string Widen(const std::string& text) const override
    {
        std::u16string wide;
        for (std::size_t i = 0; i < text.size(); ++i) {
            wide.push_back(static_cast<unsigned char>(text[i]));
            if (IsLeadByte(text[i])) ++i;
        }
        return wide;
    }
};

TEST(PortNameChecks, EachPortNameRefusalInItsOrder) {
    EXPECT_EQ(Check("", "Lab"), PortNameRefusal::NameMissing);
    EXPECT_EQ(Check(" IP_lab", "Lab"), PortNameRefusal::LeadingSpace);
    EXPECT_EQ(Check("IP\\lab", "Lab"), PortNameRefusal::Backslash);
    EXPECT_EQ(Check("IP/lab", "Lab"), PortNameRefusal::Slash);
    // A leading space is reported before the backslash, the backslash before the slash.
    EXPECT_EQ(Check(" IP\\/lab", "Lab"), PortNameRefusal::LeadingSpace);
    EXPECT_EQ(Check("IP/\\lab", "Lab"), PortNameRefusal::Backslash);
    EXPECT_EQ(static_cast<unsigned>(PortNameRefusal::NameMissing), 2004u);
    EXPECT_EQ(static_cast<unsigned>(PortNameRefusal::LeadingSpace), 2005u);
    EXPECT_EQ(static_cast<unsigned>(PortNameRefusal::Backslash), 2006u);
    EXPECT_EQ(static_cast<unsigned>(PortNameRefusal::Slash), 2007u);
}

// Names the spooler would misread: cut short, split into a list, or taken
// for a port that prints elsewhere.
TEST(PortNameChecks, PortNamesTheSpoolerWouldMisreadAreRefused) {
    const NamesInUse inUse{{"IP_lab", "LPR_lab", "IP_unused"}, {}};
    const struct {
        std::string port;
        PortNameRefusal refusal;
    } cases[] = {
        {std::string(63, 'p'), PortNameRefusal::None},
        {std::string(64, 'p'), PortNameRefusal::PortNameTooLong},
        {"IP_a,IP_b", PortNameRefusal::Comma},
        {"IP_lab", PortNameRefusal::PortNameInUse},
        {"ip_LAB", PortNameRefusal::PortNameInUse},
        {"lpr_lab", PortNameRefusal::PortNameInUse},
        {"IP_UNUSED", PortNameRefusal::PortNameInUse},
        {"IP_lab ", PortNameRefusal::None},
    };
    for (const auto& c : cases) EXPECT_EQ(Check(c.port, "Lab", inUse), c.refusal) << c.port;
    EXPECT_EQ(static_cast<unsigned>(PortNameRefusal::Comma), 2016u);
    EXPECT_EQ(static_cast<unsigned>(PortNameRefusal::PortNameTooLong), 2017u);
}

TEST(PortNameChecks, DoubleByteCharactersAreReadAsCharacters) {
    const ShiftJisText shiftJis;
    // 表 and ソ end in 0x5C, the byte of a backslash.
    const std::string hyo = "\x95\x5C", so = "\x83\x5C";
    EXPECT_EQ(CheckPortNames("IP_" + hyo + so, hyo, kNoNames, shiftJis), PortNameRefusal::None);
    EXPECT_EQ(CheckPortNames("IP_" + hyo + "\\", "Lab", kNoNames, shiftJis), PortNameRefusal::Backslash);
    EXPECT_EQ(CheckPortNames("Lab", so + "\\", kNoNames, shiftJis), PortNameRefusal::Backslash);
    // 63 double-byte characters are 126 bytes and fit.
    std::string long63;
    for (int i = 0; i < 63; ++i) long63 += hyo;
    EXPECT_EQ(CheckPortNames(long63, "Lab", kNoNames, shiftJis), PortNameRefusal::None);
    EXPECT_EQ(CheckPortNames(long63 + "x", "Lab", kNoNames, shiftJis), PortNameRefusal::PortNameTooLong);
}

TEST(PortNameChecks, ThePrinterNameIsCheckedAfterAValidPortName) {
    const NamesInUse printers{{}, {"Lab"}};
    EXPECT_EQ(Check("IP_lab", "", printers), PortNameRefusal::NameMissing);
    EXPECT_EQ(Check("IP_lab", " Lab", printers), PortNameRefusal::LeadingSpace);
    EXPECT_EQ(Check("IP_lab", "a\\b", printers), PortNameRefusal::Backslash);
    EXPECT_EQ(Check("IP_lab", "a/b", printers), PortNameRefusal::Slash);
    EXPECT_EQ(Check("IP_lab", "Lab", printers), PortNameRefusal::PrinterNameInUse);
    EXPECT_EQ(Check("IP_lab", "LAB", printers), PortNameRefusal::PrinterNameInUse) << "the spooler ignores case";
    EXPECT_EQ(Check("IP_lab", "Lab 2", printers), PortNameRefusal::None);
    EXPECT_EQ(static_cast<unsigned>(PortNameRefusal::PrinterNameInUse), 2002u);
    // A bad port name is reported even when the printer name is bad too.
    EXPECT_EQ(Check("", "Lab", printers), PortNameRefusal::NameMissing);
}

TEST(PortNameChecks, TheProposedUnitNamePassesForBothWhenUnused) {
    EXPECT_EQ(Check("prn-lab", "prn-lab", {{"IP_other"}, {"Other"}}), PortNameRefusal::None);
    // A port name in use only as a printer name (and the reverse) is fine.
    EXPECT_EQ(Check("Lab", "IP_lab", {{"IP_lab"}, {"Lab"}}), PortNameRefusal::None);
}

}  // namespace
