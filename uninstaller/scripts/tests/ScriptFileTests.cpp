#include "ScriptFile.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

std::vector<std::string> KeysOf(const ScriptFile& file, const char* section)
{
    return ReadKeysLimited(file, section, 4096);
}

std::vector<std::string> LinesOf(const ScriptFile& file, const char* section)
{
    return ReadLinesLimited(file, section, 4096);
}

}  // namespace

TEST(ScriptParser, LineIndentedWithASpaceIsIgnoredWhole)
{
    ScriptFile file = ScriptFile::Parse("[UnPrinterDrivers]\n DrvIndented,P,1\nDrvA,P,1\n");
    EXPECT_THAT(KeysOf(file, "UnPrinterDrivers"), ElementsAre("DrvA,P,1"));
}

TEST(ScriptParser, KeyAndValueLoseSpacesAndRemarkButKeepTabs)
{
    ScriptFile file = ScriptFile::Parse("[S]\nkey   =  value   ; remark\n\tTabbed\t = x\t\n;whole remark\nnovalue\n");
    EXPECT_THAT(LinesOf(file, "S"), ElementsAre("key=value", "\tTabbed\t=x\t", "novalue"));
    ASSERT_NE(file.FindValue("S", "novalue"), nullptr);
    EXPECT_EQ(*file.FindValue("S", "novalue"), "");
}

TEST(ScriptParser, SplitsAtTheFirstEqualsSign)
{
    ScriptFile file = ScriptFile::Parse("[S]\na=b=c\n");
    EXPECT_EQ(*file.FindValue("S", "a"), "b=c");
}

TEST(ScriptParser, DuplicateKeysAreAllKeptInFileOrder)
{
    ScriptFile file = ScriptFile::Parse("[S]\nb=1\na=2\nb=3\n");
    EXPECT_THAT(LinesOf(file, "S"), ElementsAre("b=1", "a=2", "b=3"));
    EXPECT_EQ(file.IntegerValue("S", "B", 0), 1);
}

TEST(ScriptParser, OnlyTheFirstOfTwoSameNamedSectionsIsRead)
{
    ScriptFile file = ScriptFile::Parse("[Files]\none\n[Other]\nx\n[FILES]\ntwo\n");
    EXPECT_THAT(KeysOf(file, "files"), ElementsAre("one"));
    EXPECT_EQ(file.CountEntries("Files"), 1);
}

TEST(ScriptParser, LinesBeforeTheFirstSectionAndEmptyKeysAreDropped)
{
    ScriptFile file = ScriptFile::Parse("stray=1\n[S]\n=orphan value\n   \nkept\n");
    ASSERT_EQ(file.Sections().size(), 1u);
    EXPECT_THAT(KeysOf(file, "S"), ElementsAre("kept"));
}

TEST(ScriptParser, AnyRunOfLineEndsSeparatesLinesAndTheLastNeedsNone)
{
    ScriptFile file = ScriptFile::Parse("[S]\r\na\r\r\n\nb\rc");
    EXPECT_THAT(KeysOf(file, "S"), ElementsAre("a", "b", "c"));
}

TEST(ScriptParser, TextEndsAtAStrayZeroByte)
{
    ScriptFile file = ScriptFile::Parse(std::string_view("[S]\nab\0cd\nef\n", 13));
    EXPECT_THAT(KeysOf(file, "S"), ElementsAre("ab"));
}

TEST(ScriptParser, SectionNameRunsToTheBracketOrTheLineEnd)
{
    ScriptFile file = ScriptFile::Parse("[One] trailing\na\n[Two\nb\n");
    EXPECT_THAT(KeysOf(file, "One"), ElementsAre("a"));
    EXPECT_THAT(KeysOf(file, "Two"), ElementsAre("b"));
}

TEST(ScriptParser, OverlongNamesKeysAndValuesAreCut)
{
    std::string longText(400, 'k');
    ScriptFile file = ScriptFile::Parse("[" + longText + "]\n" + longText + "=" + longText + "\n");
    ASSERT_EQ(file.Sections().size(), 1u);
    EXPECT_EQ(file.Sections()[0].name.size(), 259u);
    EXPECT_EQ(file.Sections()[0].entries[0].key.size(), 259u);
    EXPECT_EQ(file.Sections()[0].entries[0].value.size(), 259u);
}

TEST(ScriptFileOperations, KeysReportTheBytesTheWholeListNeeds)
{
    ScriptFile file = ScriptFile::Parse("[S]\nab=1\ncde\n");
    char buffer[16];
    std::memset(buffer, 'X', sizeof buffer);
    EXPECT_EQ(file.Keys("S", buffer, sizeof buffer), 8);  // "ab\0cde\0\0"
    EXPECT_EQ(std::memcmp(buffer, "ab\0cde\0\0", 8), 0);

    std::memset(buffer, 'X', sizeof buffer);
    EXPECT_EQ(file.Keys("S", buffer, 8), 8);
    std::memset(buffer, 'X', sizeof buffer);
    EXPECT_EQ(file.Keys("S", buffer, 7), -8);
    EXPECT_EQ(std::memcmp(buffer, "ab\0\0", 4), 0);
    EXPECT_EQ(buffer[4], 'X');
}

TEST(ScriptFileOperations, LinesJoinKeyAndValueAndReportTheirSize)
{
    ScriptFile file = ScriptFile::Parse("[S]\nab=1\ncde\n");
    char buffer[32];
    EXPECT_EQ(file.Lines("S", buffer, sizeof buffer), 10);  // "ab=1\0cde\0\0"
    EXPECT_EQ(std::memcmp(buffer, "ab=1\0cde\0\0", 10), 0);
    EXPECT_EQ(file.Lines("S", buffer, 3), -10);
    EXPECT_EQ(buffer[0], '\0');
}

TEST(ScriptFileOperations, EmptyOrMissingListsNeedOneByteAndTinyBuffersAreSafe)
{
    ScriptFile file = ScriptFile::Parse("[S]\na\n[Empty]\n");
    char buffer[4] = {'X', 'X', 'X', 'X'};
    EXPECT_EQ(file.Keys("Empty", buffer, sizeof buffer), 1);
    EXPECT_EQ(buffer[0], '\0');
    EXPECT_EQ(file.Keys("Missing", buffer, sizeof buffer), 1);
    EXPECT_EQ(file.Keys("S", nullptr, 0), -3);
    EXPECT_EQ(file.Keys("S", buffer, 0), -3);
    EXPECT_EQ(buffer[0], '\0');
    EXPECT_EQ(file.CountEntries(""), 0);
    EXPECT_EQ(file.CountEntries("Missing"), 0);
}

TEST(ScriptFileOperations, IntegerValueReadsTheLeadingNumberOrTheFallback)
{
    ScriptFile file = ScriptFile::Parse("[S]\nnum=12abc\nneg=-3\nempty=\nword=abc\nbig=99999999999\n");
    EXPECT_EQ(file.IntegerValue("S", "num", 7), 12);
    EXPECT_EQ(file.IntegerValue("S", "neg", 7), -3);
    EXPECT_EQ(file.IntegerValue("S", "empty", 7), 7);
    EXPECT_EQ(file.IntegerValue("S", "word", 7), 0);
    EXPECT_EQ(file.IntegerValue("S", "missing", 7), 7);
    EXPECT_EQ(file.IntegerValue("Missing", "num", 7), 7);
    EXPECT_EQ(file.IntegerValue("S", "big", 7), 2147483647);
}

TEST(ScriptFileOperations, LimitedReadsKeepOnlyWhatFits)
{
    ScriptFile file = ScriptFile::Parse("[S]\naaaa\nbbbb\ncccc\n");
    EXPECT_THAT(ReadKeysLimited(file, "S", 11), ElementsAre("aaaa", "bbbb"));
    EXPECT_THAT(ReadKeysLimited(file, "S", 5), IsEmpty());
    EXPECT_THAT(ReadKeysLimited(file, "S", 0), IsEmpty());
}
