#include "BackendConfig.h"

#include <gtest/gtest.h>

TEST(BackendConfig, ReadsUsbAndEmulatorLinesAndSkipsTheRest)
{
    const char* text =
        "# scanners\n"
        "usb 0x7a70 0x5320   # the 5320MF\n"
        "usb 31344 0x5310\n"
        "emulator page.ppm\n"
        "emulator /abs/faults.cfg\n"
        "usb 0x7a70\n"
        "usb 0x7a70 0x5320 0x1\n"
        "usb 0x0 0x5320\n"
        "usb 0x7a70 0x10000\n"
        "emulator\n"
        "scanner here\n";
    std::vector<std::string> skipped;
    BackendConfig c = parseBackendConfig(text, "/etc/sane.d", [&](const std::string& why) { skipped.push_back(why); });
    ASSERT_EQ(c.usb.size(), 2u);
    EXPECT_EQ(c.usb[0].vendorId, 0x7a70);
    EXPECT_EQ(c.usb[0].productId, 0x5320);
    EXPECT_EQ(c.usb[1].vendorId, 0x7a70);
    EXPECT_EQ(c.usb[1].productId, 0x5310);
    EXPECT_EQ(c.emulators, (std::vector<std::string>{"/etc/sane.d/page.ppm", "/abs/faults.cfg"}));
    ASSERT_EQ(skipped.size(), 6u);
    EXPECT_EQ(skipped[0], "line 6 skipped: \"usb 0x7a70\"");
    EXPECT_EQ(skipped[5], "line 11 skipped: \"scanner here\"");
}

TEST(BackendConfig, WithoutAFileThePrimaryProductComesFirst)
{
    BackendConfig c = defaultBackendConfig();
    ASSERT_EQ(c.usb.size(), 2u);
    EXPECT_EQ(c.usb[0].productId, 0x5320);
    EXPECT_EQ(c.usb[1].productId, 0x5310);
    EXPECT_TRUE(c.emulators.empty());
}

TEST(BackendConfig, SearchesTheFoldersSaneSearches)
{
    using Dirs = std::vector<std::string>;
    EXPECT_EQ(configDirectories(nullptr, "/etc/sane.d"), (Dirs{".", "/etc/sane.d"}));
    EXPECT_EQ(configDirectories("/a:/b", "/etc/sane.d"), (Dirs{"/a", "/b"}));
    EXPECT_EQ(configDirectories("/a:", "/etc/sane.d"), (Dirs{"/a", ".", "/etc/sane.d"}));
}
