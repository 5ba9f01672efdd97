// Replays the fuzz starting corpus and every input that ever crashed the decoder
// (regressions/, one file per finding, named after what it broke).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "DecoderFuzzHarness.h"

namespace scancodec {
namespace {

namespace fs = std::filesystem;

int replayFolder(const char* folder)
{
    int replayed = 0;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (!entry.is_regular_file() || entry.path().filename().string().front() == '.')
            continue;
        std::ifstream in(entry.path(), std::ios::binary);
        std::vector<uint8_t> data((std::istreambuf_iterator<char>(in)), {});
        SCOPED_TRACE(entry.path().filename().string());
        runDecoderFuzzCase(data.data(), data.size());
        ++replayed;
    }
    return replayed;
}

TEST(DecoderFuzzRegressions, SeedCorpusDecodesCleanly)
{
    EXPECT_GE(replayFolder(FUZZ_CORPUS_DIR), 20);
}

TEST(DecoderFuzzRegressions, EveryCrashFoundSoFarStaysFixed)
{
    replayFolder(FUZZ_REGRESSIONS_DIR);
}

}  // namespace
}  // namespace scancodec
