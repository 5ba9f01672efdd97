// The scan tool end to end: emulator configuration in, .bmp and report out.
#include "ScanJobCommand.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

namespace fs = std::filesystem;

struct ScanJobCommandTest : ::testing::Test {
    fs::path dir = fs::temp_directory_path() / ("scanjob_test_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                                                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::string report;

    ScanJobCommandTest()
    {
        fs::create_directories(dir);
        // A 150 dpi grey page, 8.5 x 2 inches: value (x + 2y) mod 256.
        std::ofstream page(dir / "page.pgm", std::ios::binary);
        page << "P5\n1275 300\n255\n";
        for (int y = 0; y < 300; ++y)
            for (int x = 0; x < 1275; ++x)
                page.put(static_cast<char>((x + 2 * y) & 0xFF));
    }
    ~ScanJobCommandTest() override { fs::remove_all(dir); }

    std::string path(const char* name) const { return (dir / name).string(); }

    // Time passes only when the tool waits: a scanner silent for half a
    // minute costs nothing.
    double now = 0;
    ToolTime virtualTime{[this] { return now; }, [this](double seconds) { now += seconds; }};

    int run(std::vector<std::string> arguments)
    {
        std::ostringstream out, err;
        int code = runScanJobCommand(arguments, out, err, &virtualTime);
        report = out.str() + err.str();
        return code;
    }

    void writeConfig(const std::string& text)
    {
        std::ofstream(dir / "scanner.cfg") << "page = page.pgm\n" << text;
    }

    std::vector<uint8_t> bmp(const char* name = "out.bmp") const
    {
        std::ifstream file(dir / name, std::ios::binary);
        return std::vector<uint8_t>(std::istreambuf_iterator<char>(file), {});
    }
    static int32_t at32(const std::vector<uint8_t>& b, size_t i)
    {
        return static_cast<int32_t>(b[i] | b[i + 1] << 8 | b[i + 2] << 16 | static_cast<uint32_t>(b[i + 3]) << 24);
    }
};

TEST_F(ScanJobCommandTest, WritesThePageAsABitmapForEveryPixelType)
{
    struct Case {
        const char* type;
        const char* resolution;
        int width, height, bitCount;
    } cases[] = {
        {"gray", "150", 150, 75, 8}, {"rgb", "300", 300, 150, 24}, {"bw", "600", 600, 300, 1},
        {"gray", "50", 50, 25, 8},   // scanned at 75, resized
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.type) + " " + c.resolution);
        ASSERT_EQ(run({"--emulator", path("page.pgm"), "--pixel-type", c.type, "--resolution", c.resolution,
                       "--frame", "4800,4800,9600,7200", "--out", path("out.bmp")}),
                  0)
            << report;
        EXPECT_EQ(report, "result 100\n");
        std::vector<uint8_t> b = bmp();
        ASSERT_GT(b.size(), 54u);
        EXPECT_EQ(b[0], 'B');
        EXPECT_EQ(at32(b, 18), c.width);
        EXPECT_EQ(at32(b, 22), c.height);
        EXPECT_EQ(b[28], c.bitCount);
    }
    // At the page's own resolution the grey rows are the page's pixels,
    // bottom-up: the top-left pixel (150, 150) is in the last row.
    ASSERT_EQ(run({"--emulator", path("page.pgm"), "--pixel-type", "gray", "--resolution", "150", "--frame",
                   "4800,4800,9600,7200", "--out", path("out.bmp")}),
              0);
    std::vector<uint8_t> b = bmp();
    size_t pixels = static_cast<size_t>(at32(b, 10));
    EXPECT_EQ(b[pixels + 152 * 74], (150 + 2 * 150) & 0xFF);
    EXPECT_EQ(b[pixels + 152 * 74 + 9], (159 + 2 * 150) & 0xFF);
    EXPECT_EQ(b[pixels], (150 + 2 * 224) & 0xFF);
}

TEST_F(ScanJobCommandTest, ReportsFaultsWithTheirMessagesAndFails)
{
    struct Case {
        const char* config;
        std::vector<std::string> extra;
        const char* report;
    } cases[] = {
        {"jam = lock\n", {}, "message IDS_ERROR_ADF_JAM\nresult 103\n"},
        {"garbage-header = block 1\n", {}, "message IDS_ERROR_DISCONNECTION\nresult 103\n"},
        {"feeder = empty\n", {"--feeder"}, "prompt IDS_MESSAGE_ADF_PROMPT -> Cancel\nresult 103\n"},
        {"", {"--resolution", "0"}, "message IDS_ERROR_SCAN_RESOLUTION\nresult 112\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.config);
        writeConfig(c.config);
        std::vector<std::string> arguments = {"--emulator", path("scanner.cfg"), "--frame", "0,0,4800,4800",
                                              "--out", path("out.bmp")};
        arguments.insert(arguments.end(), c.extra.begin(), c.extra.end());
        EXPECT_EQ(run(arguments), 1);
        EXPECT_EQ(report, c.report);
    }
    EXPECT_EQ(run({"--emulator", path("page.pgm"), "--pixel-type", "cmyk", "--out", path("out.bmp")}), 2);
    EXPECT_EQ(run({"--emulator", path("missing.pgm"), "--out", path("out.bmp")}), 2);
}

TEST_F(ScanJobCommandTest, AFaultThatHappensOnceFailsOneScanAndTheNextGivesThePage)
{
    std::vector<std::string> small = {"--pixel-type", "gray", "--resolution", "150", "--frame", "0,0,4800,4800"};
    std::vector<std::string> healthy = {"--emulator", path("page.pgm"), "--out", path("out.bmp")};
    healthy.insert(healthy.end(), small.begin(), small.end());
    ASSERT_EQ(run(healthy), 0) << report;
    std::vector<uint8_t> page = bmp();
    struct Case {
        const char* config;
        const char* message;
    } cases[] = {
        {"jam = lock once\n", "IDS_ERROR_ADF_JAM"},
        {"jam = block 2 once\n", "IDS_ERROR_ADF_JAM"},
        {"garbage-header = block 1 once\n", "IDS_ERROR_DISCONNECTION"},
        {"overlong-payload = block 1 once\n", "IDS_ERROR_DISCONNECTION"},
        {"disconnect-at = 3000 once\n", "IDS_ERROR_DISCONNECTION"},
        {"timeout-at = 3000 once\n", "IDS_ERROR_TIMEOUT_MONO"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.config);
        writeConfig(c.config);
        fs::remove(dir / "out-1.bmp");
        fs::remove(dir / "out-2.bmp");
        std::vector<std::string> twice = {"--emulator", path("scanner.cfg"), "--scans", "2", "--out", path("out.bmp")};
        twice.insert(twice.end(), small.begin(), small.end());
        EXPECT_EQ(run(twice), 0);
        EXPECT_EQ(report, std::string("scan 1\nmessage ") + c.message + "\nresult 103\nscan 2\nresult 100\n");
        EXPECT_FALSE(fs::exists(dir / "out-1.bmp"));
        EXPECT_EQ(bmp("out-2.bmp"), page);
    }
    // The exit status is the last scan's.
    writeConfig("jam = block 2\n");
    small.insert(small.end(), {"--emulator", path("scanner.cfg"), "--scans", "2", "--out", path("out.bmp")});
    EXPECT_EQ(run(small), 1);
    EXPECT_EQ(numberedOutputPath("/tmp/a.b/page", 3), "/tmp/a.b/page-3");
    EXPECT_EQ(run({"--emulator", path("page.pgm"), "--scans", "0", "--out", path("out.bmp")}), 2);
}

}  // namespace
