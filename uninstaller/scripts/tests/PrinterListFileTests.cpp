#include "PrinterListFile.h"

#include <gtest/gtest.h>

TEST(PrinterListFile, ReadsFieldsFlagsAndShortLines)
{
    PrinterListResult result = ParsePrinterList("Office\tDrv A\t\tSRV\tdok\r\n\nMasked\tVeneer\tOffice\nGuest\n");
    ASSERT_TRUE(result.ok) << result.error;
    ASSERT_EQ(result.printers.size(), 3u);
    const InstalledPrinter& office = result.printers[0];
    EXPECT_EQ(office.driver, "Drv A");
    EXPECT_EQ(office.server, "SRV");
    EXPECT_TRUE(office.isDefault && office.ours && office.keep);
    EXPECT_FALSE(office.foreign);
    EXPECT_EQ(result.printers[1].baseName, "Office");
    EXPECT_FALSE(result.printers[1].foreign);
    EXPECT_TRUE(result.printers[2].foreign);
    EXPECT_TRUE(result.printers[2].eligible);
}

TEST(PrinterListFile, UnknownFlagsAndExtraFieldsAreErrorsWithTheLine)
{
    PrinterListResult flag = ParsePrinterList("A\tB\t\t\to\nC\tD\t\t\tz\n");
    EXPECT_FALSE(flag.ok);
    EXPECT_EQ(flag.error, "line 2: unknown flag 'z' (use d, o, k)");
    EXPECT_FALSE(ParsePrinterList("A\tB\tC\tD\tE\tF\n").ok);
}
