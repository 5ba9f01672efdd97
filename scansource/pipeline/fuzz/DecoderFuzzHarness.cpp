#include "DecoderFuzzHarness.h"

#include <cstdio>
#include <cstdlib>

#include "StreamEncoder.h"
#include "StreamFeeder.h"

namespace scancodec {
namespace {

constexpr int kWidths = 48;
constexpr int kHeights = 12;

[[noreturn]] void fail(const char* what)
{
    std::fprintf(stderr, "decoder fuzz case failed: %s\n", what);
    std::abort();
}

bool isDecoderResult(int status)
{
    return status == DecodeLastRow || status == DecodeNeedsInput || status == DecodeCorruptData
           || status == DecodeOutOfMemory;
}

}  // namespace

void runDecoderFuzzCase(const uint8_t* data, size_t size)
{
    if (size < kFuzzPrefixSize)
        return;
    const int width = 1 + data[0] % kWidths;
    const int height = 1 + data[1] % kHeights;
    const int channels = (data[2] & 1) ? 3 : 1;
    FeedPlan trickle;
    trickle.ringSize = 16 + (data[2] >> 1) * 8;
    trickle.blockSizes = {1 + data[3] % 31, 1 + (data[3] >> 5) * 37};
    std::vector<uint8_t> stream(data + kFuzzPrefixSize, data + size);

    FeedResult whole = decodeWhole(stream, width, height, channels);
    StreamDecoder decoder;
    FeedResult trickled = feedStream(decoder, stream, width, height, channels, trickle);
    if (!isDecoderResult(whole.status) || !isDecoderResult(trickled.status))
        fail("unexpected result");
    if (whole.status != trickled.status || whole.image != trickled.image)
        fail("trickled input decodes differently");
    const size_t rowSize = static_cast<size_t>(width * channels);
    if (whole.image.size() != static_cast<size_t>(whole.rows) * rowSize)
        fail("output is not whole rows");
    if ((whole.status == DecodeLastRow) != (whole.rows == height))
        fail("last row reported at the wrong row");
    if (whole.status != DecodeLastRow)
        return;

    EncoderSettings settings;
    settings.withHeader = true;
    settings.predictor = data[3] % 10;
    std::vector<uint8_t> again;
    if (encodeStream(whole.image.data(), width, height, channels, settings, again) != EncodeDone)
        fail("encoder refused a decoded image");
    if (decodeWhole(again, width, height, channels).image != whole.image)
        fail("re-encoded image decodes differently");
}

std::vector<uint8_t> fuzzCaseFor(int width, int height, int channels, uint8_t bufferChoice, uint8_t blockChoice,
                                 const std::vector<uint8_t>& stream)
{
    std::vector<uint8_t> data = {static_cast<uint8_t>(width - 1), static_cast<uint8_t>(height - 1),
                                 static_cast<uint8_t>((bufferChoice << 1) | (channels == 3 ? 1 : 0)), blockChoice};
    data.insert(data.end(), stream.begin(), stream.end());
    return data;
}

}  // namespace scancodec
