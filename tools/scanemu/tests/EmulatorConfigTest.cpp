#include "EmulatorConfig.h"
#include "PageImage.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

TEST(EmulatorConfig, ReadsEveryKey)
{
    const char* text =
        "# a jammed scanner\n"
        "page = pages/letter.pgm\n"
        "device-index = 4\n"
        "vendor-id = 0x1234\n"
        "product-id = 0x5310\n"
        "feeder = empty   # nothing loaded\n"
        "feeder-pages = 3\n"
        "cover = open\n"
        "warming = 2.5\n"
        "not-locked = 5 3\n"
        "jam = block 7\n"
        "garbage-header = block 2\n"
        "overlong-payload = block 3\n"
        "disconnect-at = 5000\n"
        "timeout-at = 4000\n"
        "block-size = 512\n"
        "predictor = 9\n"
        "line-offsets = 4 4 2 2 0 0\n";
    EmulatorConfig c;
    std::string error;
    ASSERT_TRUE(parseEmulatorConfig(text, "/base", c, error)) << error;
    EXPECT_EQ(c.pagePath, "/base/pages/letter.pgm");
    EXPECT_EQ(c.deviceIndex, 4);
    EXPECT_EQ(c.vendorId, 0x1234);
    EXPECT_EQ(c.productId, 0x5310);
    EXPECT_EQ(c.feederDetail, 0);
    EXPECT_EQ(c.feederPages, 3);
    EXPECT_TRUE(c.scanCoverOpen);
    EXPECT_DOUBLE_EQ(c.warmingSeconds, 2.5);
    EXPECT_EQ(c.notLockedDetail, 5);
    EXPECT_DOUBLE_EQ(c.notLockedSeconds, 3);
    EXPECT_FALSE(c.jamAtLock);
    EXPECT_EQ(c.jamAtBlock, 7);
    EXPECT_EQ(c.garbageHeaderAtBlock, 2);
    EXPECT_EQ(c.overlongPayloadAtBlock, 3);
    EXPECT_EQ(c.disconnectAtByte, 5000);
    EXPECT_EQ(c.timeoutAtByte, 4000);
    EXPECT_EQ(c.blockSize, 512);
    EXPECT_EQ(c.predictor, 9);
    EXPECT_EQ(c.lineOffsets[0], 4);
    EXPECT_EQ(c.lineOffsets[3], 2);
    EXPECT_EQ(c.lineOffsets[5], 0);
}

TEST(EmulatorConfig, RejectsWhatItCannotUse)
{
    const char* bad[] = {"warming = 3\n",                     // no page
                         "page = a.pgm\nfeeder = maybe\n",
                         "page = a.pgm\njam = block\n",
                         "page = a.pgm\nblock-size = 0\n",
                         "page = a.pgm\nlamp = hot\n",
                         "page = a.pgm\nwarming\n",
                         "page = a.pgm\npredictor = 10\n",
                         "page = a.pgm\nline-offsets = 1 2 3\n"};
    for (const char* text : bad) {
        EmulatorConfig c;
        std::string error;
        EXPECT_FALSE(parseEmulatorConfig(text, ".", c, error)) << text;
        EXPECT_FALSE(error.empty());
    }
}

TEST(EmulatorConfig, APageImageAloneIsAHealthyScanner)
{
    std::string path = ::testing::TempDir() + "scanemu_page.pgm";
    {
        std::ofstream out(path, std::ios::binary);
        out << "P5\n# comment\n2 1\n255\n" << char(10) << char(200);
    }
    EmulatorConfig c;
    std::string error;
    ASSERT_TRUE(loadEmulatorSetting(path, c, error)) << error;
    EXPECT_EQ(c.pagePath, path);
    EXPECT_EQ(c.feederDetail, 1);
    EXPECT_EQ(c.warmingSeconds, 0);
    PageImage page;
    ASSERT_TRUE(page.load(path, error)) << error;
    EXPECT_EQ(page.grey(1, 0), 200);
    EXPECT_EQ(page.grey(2, 0), 255);  // beyond the page: white
    std::remove(path.c_str());
}

TEST(PageImage, RejectsBrokenImages)
{
    const std::string bad[] = {"P5\n2 2\n255\n\x01", "P3\n1 1\n255\n1", "P6\n1 1\n65535\n123456", "P5\n-1 1\n255\n"};
    for (const std::string& text : bad) {
        PageImage page;
        std::string error;
        EXPECT_FALSE(page.parse(std::vector<uint8_t>(text.begin(), text.end()), error)) << text;
    }
}
