#include <gtest/gtest.h>

#include <sstream>

#include "DeviceLines.h"
#include "FindPrintersOptions.h"

namespace {

TEST(FindPrintersOptions, LocalAddressIsParsedAndCheckedStrictly)
{
    FindPrintersOptions options;
    std::string error;
    ASSERT_TRUE(ParseFindPrintersOptions({"--local", "10.77.1.10"}, options, error));
    EXPECT_TRUE(options.localAddressGiven);
    EXPECT_EQ(DottedText(options.localAddress), "10.77.1.10");

    FindPrintersOptions bad;
    EXPECT_FALSE(ParseFindPrintersOptions({"--local"}, bad, error));
    EXPECT_FALSE(ParseFindPrintersOptions({"--local", "10.77.1"}, bad, error));
    EXPECT_FALSE(ParseFindPrintersOptions({"--broadcast"}, bad, error));
    EXPECT_EQ(error, "unknown argument: --broadcast");
}

TEST(DeviceLines, OneTabSeparatedLinePerDeviceWithTheUnitNameFirst)
{
    std::ostringstream out;
    DeviceLinePrinter printer(out);
    printer.AddDeviceRow("PRN1", "10.77.1.21", "", "ARVEL NORVANE Vivaro 5310/20");
    printer.AddDeviceRow("PRN2", "10.77.1.22", "prn-lab", "model\twith tab");
    printer.AddDeviceRow("", "10.77.1.23", "", "m");
    EXPECT_EQ(out.str(),
              "PRN1\t10.77.1.21\t\tPRN1\tARVEL NORVANE Vivaro 5310/20\n"
              "prn-lab\t10.77.1.22\tprn-lab\tPRN2\tmodel\\x09with tab\n"
              "10.77.1.23\t10.77.1.23\t\t\tm\n");
    EXPECT_EQ(printer.Count(), 3);
}

TEST(DeviceLines, ControlCharactersFromTheNetworkNeverReachTheTerminal)
{
    const struct {
        const char* sent;
        const char* printed;
    } cases[] = {
        {"PRN\x1b]0;owned\x07", "PRN\\x1b]0;owned\\x07"},  // a terminal title sequence
        {"line\r\nbreak\x7f", "line\\x0d\\x0abreak\\x7f"},
        {"C1 \xc2\x9b" "2J", "C1 \\xc2\\x9b2J"},               // CSI as UTF-8
        {"back\\slash", "back\\\\slash"},
        {"K\xc3\xa4" "che", "K\xc3\xa4" "che"},                 // printable UTF-8 stays
    };
    for (const auto& c : cases) {
        std::ostringstream out;
        DeviceLinePrinter printer(out);
        printer.AddDeviceRow(c.sent, "10.77.1.21", "", "m");
        EXPECT_EQ(out.str(), std::string(c.printed) + "\t10.77.1.21\t\t" + c.printed + "\tm\n") << c.printed;
    }
}

}  // namespace
