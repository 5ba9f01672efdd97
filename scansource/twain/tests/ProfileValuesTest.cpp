#include <gtest/gtest.h>

#include "ProfileValues.h"

TEST(ProfileValues, IntegersAreTheLeadingDecimalNumber)
{
    EXPECT_EQ(parseProfileInteger("300"), 300);
    EXPECT_EQ(parseProfileInteger("  -42dpi"), -42);
    EXPECT_EQ(parseProfileInteger("abc"), 0);
    EXPECT_EQ(parseProfileInteger(""), 0);
    EXPECT_EQ(parseProfileInteger("99999999999"), INT32_MAX);
    EXPECT_EQ(parseProfileInteger("-99999999999"), INT32_MIN);
    EXPECT_EQ(formatProfileInteger(-60), "-60");
}

TEST(ProfileValues, GammaKeepsTheStoredForm)
{
    EXPECT_EQ(formatProfileGamma(1.0f), "1.0000003.1");
    EXPECT_EQ(formatProfileGamma(2.2f), "2.2000003.1");
    float readBack = static_cast<float>(parseProfileFloat("2.2000003.1"));
    EXPECT_FLOAT_EQ(readBack, 2.2000003f);
    EXPECT_EQ(formatProfileGamma(readBack), "2.2000003.1") << "stable across a save and a load";
    EXPECT_DOUBLE_EQ(parseProfileFloat("junk"), 0.0);
    EXPECT_DOUBLE_EQ(parseProfileFloat("-0.5x"), -0.5);
}

TEST(ProfileValues, BooleansAreExactlyTRUE)
{
    EXPECT_TRUE(parseProfileBoolean("TRUE"));
    EXPECT_FALSE(parseProfileBoolean("true"));
    EXPECT_FALSE(parseProfileBoolean("TRUE "));
    EXPECT_FALSE(parseProfileBoolean(nullptr));
    EXPECT_STREQ(formatProfileBoolean(false), "FALSE");
}

TEST(ProfileValues, ValuesByKind)
{
    EXPECT_EQ(formatProfileValue(ProfileValue::ofShortInteger(-7)), "-7");
    EXPECT_EQ(formatProfileValue(ProfileValue::ofBoolean(true)), "TRUE");
    EXPECT_EQ(parseProfileValue(ProfileValueKind::ShortInteger, "127").shortInteger, 127);
    EXPECT_FLOAT_EQ(parseProfileValue(ProfileValueKind::Float, "1.0000003.1").number, 1.0000003f);
}
