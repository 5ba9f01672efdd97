#include "ProfileLine.h"
#include "UninstallProfile.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using ::testing::ElementsAre;
using ::testing::IsEmpty;

TEST(ProfileLine, ThreeFieldsWithQuotedName)
{
    ProfileLine line = ParseProfileLine(R"(""ARVEL NORVANE Vivaro 5320MF"",VIV5320,12x)");
    EXPECT_EQ(line.displayName, "ARVEL NORVANE Vivaro 5320MF");
    EXPECT_EQ(line.prefix, "VIV5320");
    EXPECT_EQ(line.number, 12);
}

TEST(ProfileLine, FewerFieldsGiveEmptyPrefixAndNumberZero)
{
    ProfileLine nameOnly = ParseProfileLine("\"Drv\"");
    EXPECT_EQ(nameOnly.displayName, "Drv");
    EXPECT_EQ(nameOnly.prefix, "");
    EXPECT_EQ(nameOnly.number, 0);

    ProfileLine twoFields = ParseProfileLine("Drv, PFX");
    EXPECT_EQ(twoFields.prefix, " PFX");
    EXPECT_EQ(twoFields.number, 0);

    EXPECT_EQ(ParseProfileLine("").displayName, "");
    EXPECT_EQ(ParseProfileLine("\"\"\"").displayName, "");
}

TEST(ProfileLine, ManufacturerLineKeepsItsEqualsPart)
{
    ProfileLine line = ParseProfileLine("ARVEL=x,MFG,3");
    EXPECT_EQ(line.displayName, "ARVEL=x");
    EXPECT_EQ(line.prefix, "MFG");
    EXPECT_EQ(line.number, 3);
}

TEST(UninstallProfile, ListsStaySortedWithoutCaseInsensitiveDuplicates)
{
    UninstallProfile profile;
    profile.SetItems(ItemList::Files, {"b.dll", "A.DLL", "a.dll", "C.dll"});
    EXPECT_THAT(profile.Items(ItemList::Files), ElementsAre("A.DLL", "b.dll", "C.dll"));
    profile.AddItem(ItemList::Files, "B.DLL");
    EXPECT_THAT(profile.Items(ItemList::Files), ElementsAre("A.DLL", "b.dll", "C.dll"));
    EXPECT_TRUE(profile.Contains(ItemList::Files, "c.DLL"));
    EXPECT_FALSE(profile.Contains(ItemList::Monitors, "c.DLL"));
}

TEST(UninstallProfile, MergeSubtractAssignAndClearWorkListByList)
{
    UninstallProfile first;
    first.displayName = "First";
    first.SetItems(ItemList::Files, {"x.dll", "y.dll"});
    first.SetItems(ItemList::Services, {"svc"});
    UninstallProfile second;
    second.displayName = "Second";
    second.catchAll = true;
    second.number = 4;
    second.SetItems(ItemList::Files, {"Y.DLL", "z.dll"});
    second.SetItems(ItemList::Monitors, {"x.dll"});

    UninstallProfile merged = first;
    merged.Merge(second);
    EXPECT_EQ(merged.displayName, "First");
    EXPECT_THAT(merged.Items(ItemList::Files), ElementsAre("x.dll", "y.dll", "z.dll"));
    EXPECT_THAT(merged.Items(ItemList::Monitors), ElementsAre("x.dll"));

    merged.Subtract(second);
    EXPECT_THAT(merged.Items(ItemList::Files), ElementsAre("x.dll"));
    EXPECT_THAT(merged.Items(ItemList::Monitors), IsEmpty());
    EXPECT_THAT(merged.Items(ItemList::Services), ElementsAre("svc"));

    merged.Assign(second);
    EXPECT_EQ(merged.displayName, "Second");
    EXPECT_TRUE(merged.catchAll);
    EXPECT_EQ(merged.number, 4);
    EXPECT_THAT(merged.Items(ItemList::Services), IsEmpty());

    merged.Clear();
    EXPECT_TRUE(merged.IsEmpty());
    EXPECT_EQ(merged.displayName, "");
    EXPECT_FALSE(merged.catchAll);
}

TEST(UninstallProfile, SubtractComparesWholeItems)
{
    UninstallProfile plan;
    plan.SetItems(ItemList::Files, {"a.dll", "a.dll.bak"});
    UninstallProfile kept;
    kept.SetItems(ItemList::Files, {"A.DLL"});
    plan.Subtract(kept);
    EXPECT_THAT(plan.Items(ItemList::Files), ElementsAre("a.dll.bak"));
}
