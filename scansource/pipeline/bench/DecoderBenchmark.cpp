// Decodes the benchmark page through decodeBlock the way the scan engine
// does (32768-byte circular receive buffer, 1024-byte blocks, one row per
// call) and prints the output rate.
#include <algorithm>
#include <chrono>
#include <ctime>
#include <cstdio>
#include <cstring>
#include <vector>

#include "BenchSupport.h"
#include "StreamDecoder.h"
#include "StreamEncoder.h"
#include "StreamFeeder.h"
#include "TestImages.h"

using namespace scancodec;

namespace {

constexpr int kRingSize = 32768;
constexpr int kBlockSize = 1024;  // the engine reads only while more than this is free
constexpr int kRuns = 5;

struct Timing {
    double wall = -1;
    double cpu = -1;
};

// One scan's worth of decoding; negative times when the decoder failed.
Timing timeOneDecode(const std::vector<uint8_t>& stream, int width, int height, int channels)
{
    std::vector<uint8_t> ring(kRingSize), row(static_cast<size_t>(width * channels));
    StreamDecoder decoder;
    auto begin = std::chrono::steady_clock::now();
    double cpuBegin = bench::threadSeconds();
    if (decoder.start(width, height, channels, 8) != DecoderStarted)
        return {};
    size_t sent = 0;
    int writeOffset = 0, freeBytes = kRingSize, result = DecodeMoreRows;
    while (result == DecodeMoreRows || result == DecodeNeedsInput) {
        while (freeBytes > 1024 && sent < stream.size()) {
            int block = static_cast<int>(std::min<size_t>(kBlockSize, stream.size() - sent));
            block = std::min(block, kRingSize - writeOffset);
            std::memcpy(ring.data() + writeOffset, stream.data() + sent, static_cast<size_t>(block));
            sent += static_cast<size_t>(block);
            writeOffset = (writeOffset + block) % kRingSize;
            freeBytes -= block;
        }
        int consumed = 0, produced = 0;
        result = decoder.decodeBlock(ring.data(), kRingSize, kRingSize - freeBytes, &consumed, row.data(),
                                     static_cast<int>(row.size()), &produced);
        freeBytes += consumed;
        if (result == DecodeNeedsInput && sent == stream.size())
            return {};
    }
    Timing timing{std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count(),
                  bench::threadSeconds() - cpuBegin};
    decoder.finish();
    return result == DecodeLastRow ? timing : Timing{};
}

void runCase(const char* name, const std::vector<uint8_t>& image, int width, int height, int channels,
             const EncoderSettings& settings)
{
    std::vector<uint8_t> stream;
    if (encodeStream(image.data(), width, height, channels, settings, stream) != EncodeDone) {
        std::printf("%-30s encoding failed\n", name);
        return;
    }
    StreamDecoder checker;
    FeedPlan plan{kRingSize, {kBlockSize}};
    bool exact = feedStream(checker, stream, width, height, channels, plan).image == image;

    Timing best{1e30, 1e30};
    for (int run = 0; run < kRuns; ++run) {
        Timing timing = timeOneDecode(stream, width, height, channels);
        if (timing.wall < 0) {
            std::printf("%-30s decoding failed\n", name);
            return;
        }
        best.wall = std::min(best.wall, timing.wall);
        best.cpu = std::min(best.cpu, timing.cpu);
    }
    double outputBytes = static_cast<double>(image.size());
    std::printf("%-30s %6.1f MB/s output (CPU time %5.1f ms), %6.1f MB/s by the wall clock; stream %.1f MB, "
                "%.2f bits/sample, %s\n",
                name, outputBytes / best.cpu / 1e6, best.cpu * 1e3, outputBytes / best.wall / 1e6,
                static_cast<double>(stream.size()) / 1e6, 8.0 * static_cast<double>(stream.size()) / outputBytes,
                exact ? "bit-exact" : "MISMATCH");
}

}  // namespace

int main()
{
    const int width = kLetterWidth600, height = kLetterHeight600;
    std::printf("600 dpi letter page %dx%d, %d runs each, best shown\n", width, height, kRuns);
    std::vector<uint8_t> colour = makeTestPage(width, height, 3);
    std::vector<uint8_t> grey = makeTestPage(width, height, 1);

    EncoderSettings plain;
    runCase("colour, median, no header", colour, width, height, 3, plain);

    EncoderSettings offsets;
    offsets.withHeader = true;
    const uint8_t sensor[kLineOffsetCount] = {8, 9, 4, 5, 0, 1};
    std::copy(sensor, sensor + kLineOffsetCount, offsets.offsets);
    runCase("colour, median, line offsets", colour, width, height, 3, offsets);

    runCase("grey, median, no header", grey, width, height, 1, plain);
    bench::printLoad();
    return 0;
}
