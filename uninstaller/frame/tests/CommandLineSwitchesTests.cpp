#include "CommandLineSwitches.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using ::testing::ElementsAre;
using ::testing::IsEmpty;

TEST(CommandLineSwitches, QuotedDriverNamesAndBareSwitch)
{
    CommandLineSwitches switches;
    switches.Parse(R"(uninstaller.exe /PRN:"ARVEL Drv A","Drv, B: two" /NOPICK)");
    EXPECT_EQ(switches.ValueCount("PRN"), 2);
    EXPECT_THAT(switches.UnquotedValues("PRN"), ElementsAre("ARVEL Drv A", "Drv, B: two"));
    EXPECT_THAT(switches.Values("PRN"), ElementsAre("\"ARVEL Drv A\"", "\"Drv, B: two\""));
    EXPECT_EQ(switches.ValueCount("NOPICK"), 0);
    EXPECT_EQ(switches.ValueCount("UNVEN"), -1);
    EXPECT_FALSE(switches.Has("MFG"));
    EXPECT_THAT(switches.Values("UNVEN"), IsEmpty());
}

TEST(CommandLineSwitches, NamesCompareCaseInsensitivelyAndDashWorks)
{
    CommandLineSwitches switches;
    switches.Parse("-mfg:Arvel,Norv /Unven");
    EXPECT_EQ(switches.ValueCount("MFG"), 2);
    EXPECT_THAT(switches.Values("Mfg"), ElementsAre("Arvel", "Norv"));
    EXPECT_TRUE(switches.Has("UNVEN"));
}

TEST(CommandLineSwitches, RepeatedSwitchCountsLastButListsAllValues)
{
    CommandLineSwitches switches;
    switches.Parse("/PRN:a,b,c /x /PRN:d");
    EXPECT_EQ(switches.ValueCount("PRN"), 1);
    EXPECT_THAT(switches.Values("PRN"), ElementsAre("a", "b", "c", "d"));
}

TEST(CommandLineSwitches, QuotedColonStaysInTheName)
{
    CommandLineSwitches switches;
    switches.Parse(R"(/"A:B":v1)");
    EXPECT_THAT(switches.Values("\"A:B\""), ElementsAre("v1"));
}

TEST(CommandLineSwitches, PlainTokensAndEmptyTailsAreNoValues)
{
    CommandLineSwitches switches;
    switches.Parse("program.exe  PRN:x  /MFG: /PRN:a,");
    EXPECT_EQ(switches.ValueCount("MFG"), 0);
    EXPECT_THAT(switches.Values("PRN"), ElementsAre("a", ""));
}

TEST(CommandLineSwitches, LineIsCutAtItsLimit)
{
    std::string line(CommandLineSwitches::kMaxCommandLineLength - 3, 'x');
    line += " /AB /CD";
    CommandLineSwitches switches;
    switches.Parse(line);
    EXPECT_FALSE(switches.Has("AB"));
    EXPECT_TRUE(switches.Has("A"));
    EXPECT_FALSE(switches.Has("CD"));
}

TEST(CommandLineSwitches, TokensAddedOneByOneKeepSpaces)
{
    CommandLineSwitches switches;
    switches.AddToken("/PRN:Drv A,Drv B");
    switches.AddToken("Xunz___Z.unm");
    EXPECT_THAT(switches.Values("PRN"), ElementsAre("Drv A", "Drv B"));
}
