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
              "prn-lab\t10.77.1.22\tprn-lab\tPRN2\tmodel with tab\n"
              "10.77.1.23\t10.77.1.23\t\t\tm\n");
    EXPECT_EQ(printer.Count(), 3);
}

}  // namespace
