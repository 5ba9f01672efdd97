#include "RemovalRecord.h"

#include <gtest/gtest.h>

// Names come from the spooler and the scripts: whatever they hold, the
// record gives them back, and a record that is not whole gives nothing.
TEST(RemovalRecord, GivesBackWhatWasWrittenAndNothingWhenNotWhole)
{
    RemovalRecord record;
    record.printers = {"Office", "Lab; [2]\tfloor = 3", "Broken\nname"};
    record.drivers = {"ARVEL NORVANE Vivaro 5320MF"};
    record.plan.AddItem(ItemList::Files, "ZV5320UI.DLL=1");
    record.plan.AddItem(ItemList::RegistryKeys, "HKLM,\"SOFTWARE\\ARVEL NORVANE\",\"\",0");
    record.fullRemovalItems.AddItem(ItemList::Files, "Xunz___Z.unm");
    const std::string text = FormatRemovalRecord(record);

    std::optional<RemovalRecord> read = ParseRemovalRecord(text);
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(read->printers, (std::vector<std::string>{"Office", "Lab; [2]\tfloor = 3"})) << "a line break cannot be kept";
    EXPECT_EQ(read->drivers, record.drivers);
    for (size_t i = 0; i < kItemListCount; ++i)
        EXPECT_EQ(read->plan.Items(ItemListAt(i)), record.plan.Items(ItemListAt(i))) << ItemListName(ItemListAt(i));
    EXPECT_EQ(read->fullRemovalItems.Items(ItemList::Files), record.fullRemovalItems.Items(ItemList::Files));

    const std::string cut = text.substr(0, text.find("ZV5320"));
    const char* const broken[] = {"", "end of record\r\n", "uninstall record 1\r\nprinter\tOffice\r\n",
                                  "uninstall record 1\r\nprinter Office\r\nend of record\r\n",
                                  "uninstall record 1\r\nplan.Nothing\tx\r\nend of record\r\n",
                                  // Only phase 9 adds folders, through its guard.
                                  "uninstall record 1\r\nplan.directories\tC:\\Windows\r\nend of record\r\n"};
    EXPECT_FALSE(ParseRemovalRecord(cut).has_value());
    for (const char* text : broken)
        EXPECT_FALSE(ParseRemovalRecord(text).has_value()) << text;
}
