// The command line end to end, through files in a scratch folder.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "Netpbm.h"
#include "ScanStreamCommand.h"
#include "TestImages.h"

namespace scanstream {
namespace {

namespace fs = std::filesystem;

class ScanStreamCommand : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder_ = fs::temp_directory_path()
                  / ("scanstream-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::create_directories(folder_);
    }
    void TearDown() override { fs::remove_all(folder_); }

    std::string path(const char* name) const { return (folder_ / name).string(); }

    int run(std::vector<std::string> words)
    {
        words.insert(words.begin(), "scanstream");
        std::vector<const char*> argv;
        for (const std::string& word : words)
            argv.push_back(word.c_str());
        std::string errorsFile = path("errors.txt");
        FILE* errors = std::fopen(errorsFile.c_str(), "w");
        int status = runScanStream(static_cast<int>(argv.size()), argv.data(), errors);
        std::fclose(errors);
        messages_ = readAll(errorsFile);
        return status;
    }

    static std::string readAll(const std::string& file)
    {
        std::ifstream in(file, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    static void writeAll(const std::string& file, const std::string& contents)
    {
        std::ofstream(file, std::ios::binary) << contents;
    }

    std::string writePage(int width, int height, int channels)
    {
        std::vector<uint8_t> pixels = scancodec::makeTestPage(width, height, channels, 9);
        std::string file = path(channels == 3 ? "page.ppm" : "page.pgm");
        writeAll(file, netpbmHeader(width, height, channels) + std::string(pixels.begin(), pixels.end()));
        return file;
    }

    fs::path folder_;
    std::string messages_;
};

TEST_F(ScanStreamCommand, EncodeThenDecodeGivesBackTheSameFile)
{
    struct Variant {
        int channels;
        std::vector<std::string> options;
    };
    std::vector<Variant> variants = {
        {3, {"--predictor", "0", "--offsets", "none"}},
        {3, {"--predictor", "4", "--offsets", "8,9,4,5,0,1"}},
        {1, {"--predictor", "9"}},
        {1, {"--predictor", "0", "--offsets", "none"}},
    };
    for (const Variant& variant : variants) {
        std::string page = writePage(45, 17, variant.channels);
        std::vector<std::string> encode = {"encode"};
        encode.insert(encode.end(), variant.options.begin(), variant.options.end());
        encode.insert(encode.end(), {page, path("stream.bin")});
        ASSERT_EQ(run(encode), ExitDone) << messages_;
        ASSERT_EQ(run({"decode", "--width", "45", "--height", "17", "--channels", std::to_string(variant.channels),
                       path("stream.bin"), path("back.pnm")}),
                  ExitDone)
            << messages_;
        EXPECT_EQ(readAll(path("back.pnm")), readAll(page)) << variant.options[1];
    }
}

TEST_F(ScanStreamCommand, ShortOrCorruptStreamsFailWithAMessageAndNoOutput)
{
    std::string page = writePage(20, 10, 3);
    ASSERT_EQ(run({"encode", "--predictor", "0", page, path("stream.bin")}), ExitDone) << messages_;
    std::string stream = readAll(path("stream.bin"));

    writeAll(path("short.bin"), stream.substr(0, stream.size() - 20));
    EXPECT_EQ(run({"decode", "--width", "20", "--height", "10", "--channels", "3", path("short.bin"),
                   path("out.ppm")}),
              ExitDataError);
    EXPECT_NE(messages_.find("ends early (after 9 of 10 rows)"), std::string::npos) << messages_;
    EXPECT_FALSE(fs::exists(path("out.ppm")));

    std::string corrupt = stream;
    corrupt[1024 + 2] = '\xFF';
    writeAll(path("corrupt.bin"), corrupt);
    EXPECT_EQ(run({"decode", "--width", "20", "--height", "10", "--channels", "3", path("corrupt.bin"),
                   path("out.ppm")}),
              ExitDataError);
    EXPECT_NE(messages_.find("corrupt data"), std::string::npos) << messages_;

    EXPECT_EQ(run({"decode", "--width", "20", "--height", "10", "--channels", "3", path("missing.bin"),
                   path("out.ppm")}),
              ExitDataError);
    EXPECT_NE(messages_.find("cannot open"), std::string::npos);
    writeAll(path("text.pgm"), "P2\n1 1\n255\n0\n");
    EXPECT_EQ(run({"encode", "--predictor", "0", path("text.pgm"), path("out.bin")}), ExitDataError);
}

TEST_F(ScanStreamCommand, BadArgumentsAreUsageErrors)
{
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"squash", "a", "b"},
        {"decode", "--width", "10", "--height", "10", "a", "b"},
        {"decode", "--width", "22625", "--height", "10", "--channels", "1", "a", "b"},
        {"decode", "--width", "10", "--height", "10", "--channels", "2", "a", "b"},
        {"decode", "--width", "10", "--height", "-3", "--channels", "1", "a", "b"},
        {"decode", "--width", "10x", "--height", "3", "--channels", "1", "a", "b"},
        {"decode", "--width", "10", "--height", "3", "--channels", "1", "a"},
        {"decode", "--width", "10", "--width", "3", "--channels", "1", "a", "b"},
        {"encode", "--predictor", "10", "a", "b"},
        {"encode", "a", "b"},
        {"encode", "--predictor", "0", "--offsets", "1,2,3", "a", "b"},
        {"encode", "--predictor", "0", "--offsets", "1,2,3,4,5,256", "a", "b"},
        {"encode", "--predictor", "3", "--offsets", "none", "a", "b"},
        {"encode", "--predictor", "0", "--colour", "a", "b"},
        {"encode", "--predictor"},
    };
    for (const auto& words : cases) {
        EXPECT_EQ(run(words), ExitUsageError) << (words.empty() ? "(none)" : words[0]);
        EXPECT_NE(messages_.find("usage:"), std::string::npos);
    }
}

}  // namespace
}  // namespace scanstream
