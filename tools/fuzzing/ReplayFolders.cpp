// Replays a fuzz target's starting corpus and every input it ever broke on
// (regressions/, one file per finding, named after what it broke) through
// the same entry point libFuzzer calls.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

namespace fs = std::filesystem;

int replayFolder(const fs::path& folder)
{
    int replayed = 0;
    if (!fs::is_directory(folder))
        return 0;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (!entry.is_regular_file() || entry.path().filename().string().front() == '.')
            continue;
        std::ifstream in(entry.path(), std::ios::binary);
        std::vector<uint8_t> data((std::istreambuf_iterator<char>(in)), {});
        SCOPED_TRACE(entry.path().filename().string());
        LLVMFuzzerTestOneInput(data.data(), data.size());
        ++replayed;
    }
    return replayed;
}

TEST(FuzzReplay, StartingCorpusHoldsItsProperties)
{
    EXPECT_GT(replayFolder(FUZZ_CORPUS_DIR), 0) << "the starting corpus is missing: " << FUZZ_CORPUS_DIR;
}

TEST(FuzzReplay, EveryFindingStaysFixed)
{
    replayFolder(FUZZ_REGRESSIONS_DIR);
}

}  // namespace
