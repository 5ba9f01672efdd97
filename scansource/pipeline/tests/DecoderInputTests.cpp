// How the decoder takes its input: circular buffer wrap-around, bytes that
// have not arrived yet, truncated and corrupt streams, bad calls.
#include <gtest/gtest.h>

#include <string>

#include "CraftedStream.h"
#include "DecoderInstance.h"
#include "StreamEncoder.h"
#include "StreamFeeder.h"
#include "TestImages.h"

namespace scancodec {
namespace {

struct Sample {
    int width, height, channels;
    std::vector<uint8_t> image;
    std::vector<uint8_t> stream;
};

// Grey rows wide enough that the median rows are rebuilt in pairs while
// they are read, so that every split falls somewhere inside that work too.
Sample encodedSample(bool withHeader, int channels = 3)
{
    const int width = channels == 3 ? 13 : 64;
    Sample s{width, 5, channels, makeTestPage(width, 5, channels, 11), {}};
    EncoderSettings settings;
    settings.withHeader = withHeader;
    if (withHeader) {
        settings.offsets[RedEven] = 2;
        settings.offsets[BlueOdd] = 1;
    }
    encodeStream(s.image.data(), s.width, s.height, s.channels, settings, s.stream);
    return s;
}

TEST(DecoderInput, StreamSplitAtEveryBytePositionDecodesTheSame)
{
    for (int variant = 0; variant < 4; ++variant) {
        bool withHeader = variant % 2 != 0;
        Sample s = encodedSample(withHeader, variant < 2 ? 3 : 1);
        int size = static_cast<int>(s.stream.size());
        for (int split = 0; split <= size; ++split) {
            StreamDecoder decoder;
            FeedResult result = feedStream(decoder, s.stream, s.width, s.height, s.channels, {size, {split, size}});
            ASSERT_EQ(result.status, DecodeLastRow) << "split at " << split;
            ASSERT_EQ(result.image, s.image) << "split at " << split;
        }
    }
}

TEST(DecoderInput, BufferWrapAtEveryBytePositionDecodesTheSame)
{
    for (int variant = 0; variant < 4; ++variant) {
        bool withHeader = variant % 2 != 0;
        Sample s = encodedSample(withHeader, variant < 2 ? 3 : 1);
        int size = static_cast<int>(s.stream.size());
        for (int ring = 16; ring <= size + 8; ++ring) {
            for (int block : {1, 7, 64}) {
                StreamDecoder decoder;
                FeedResult result = feedStream(decoder, s.stream, s.width, s.height, s.channels, {ring, {block}});
                ASSERT_EQ(result.status, DecodeLastRow) << "ring " << ring << " block " << block;
                ASSERT_EQ(result.image, s.image) << "ring " << ring << " block " << block;
            }
        }
    }
}

TEST(DecoderInput, TruncatedStreamAsksForMoreInputAndKeepsTheRowsItHad)
{
    for (int channels : {3, 1}) {
        Sample s = encodedSample(true, channels);
        for (size_t length = 0; length < s.stream.size(); ++length) {
            std::vector<uint8_t> cut(s.stream.begin(), s.stream.begin() + static_cast<long>(length));
            StreamDecoder decoder;
            FeedResult result = feedStream(decoder, cut, s.width, s.height, s.channels, {64, {5}});
            ASSERT_EQ(result.status, DecodeNeedsInput) << length;
            ASSERT_LT(result.rows, s.height);
            ASSERT_TRUE(std::equal(result.image.begin(), result.image.end(), s.image.begin())) << length;
        }
    }
}

TEST(DecoderInput, CodeOfEightOnesIsCorruptDataAndStaysSo)
{
    CraftedStream stream;
    stream.beginRow();
    stream.sample(1, 1);
    stream.bits(0xFF, 8);
    stream.bits(0, 16);
    stream.endRow();
    std::vector<uint8_t> bytes = stream.bytes();
    StreamDecoder decoder;
    ASSERT_EQ(decoder.start(4, 1, 1, 8), DecoderStarted);
    int consumed = 0, produced = 0;
    uint8_t row[4];
    int size = static_cast<int>(bytes.size());
    EXPECT_EQ(decoder.decodeBlock(bytes.data(), size, size, &consumed, row, 4, &produced), DecodeCorruptData);
    EXPECT_EQ(produced, 0);
    EXPECT_EQ(decoder.decodeBlock(bytes.data(), size, 0, &consumed, row, 4, &produced), DecodeCorruptData);
}

TEST(DecoderInput, CorruptionInsideALaterRowKeepsTheEarlierRows)
{
    CraftedStream stream;
    for (int row = 0; row < 3; ++row) {
        stream.beginRow();
        stream.sample(1, 1);
        if (row == 2)
            stream.bits(0xFF, 8);
        else
            stream.sample(0);
        stream.endRow();
    }
    FeedResult result = decodeWhole(stream.bytes(), 2, 3, 1);
    EXPECT_EQ(result.status, DecodeCorruptData);
    EXPECT_EQ(result.rows, 2);
}

TEST(DecoderInput, GeometryBeyondTheRowBuffersIsRefusedAtStart)
{
    StreamDecoder decoder;
    EXPECT_EQ(decoder.start(kMaxRowWidth + 1, 10, 3, 8), DecoderGeometryRefused);
    EXPECT_EQ(decoder.start(0, 10, 3, 8), DecoderGeometryRefused);
    EXPECT_EQ(decoder.start(10, 0, 3, 8), DecoderGeometryRefused);
    EXPECT_EQ(decoder.start(10, 10, 2, 8), DecoderGeometryRefused);
    EXPECT_EQ(decoder.start(kMaxRowWidth, 10, 3, 8), DecoderStarted);
    decoder.finish();
}

TEST(DecoderInput, CallsOutsideAStartedScanOrWithBadArgumentsAreRefused)
{
    Sample s = encodedSample(false);
    int size = static_cast<int>(s.stream.size());
    std::vector<uint8_t> row(static_cast<size_t>(s.width * 3));
    int consumed = -1, produced = -1;
    StreamDecoder decoder;
    EXPECT_EQ(decoder.decodeBlock(s.stream.data(), size, size, &consumed, row.data(), 39, &produced), DecodeBadCall);
    EXPECT_EQ(consumed, 0);
    EXPECT_EQ(produced, 0);

    ASSERT_EQ(decoder.start(s.width, s.height, 3, 8), DecoderStarted);
    EXPECT_EQ(decoder.decodeBlock(s.stream.data(), size, size, &consumed, row.data(), 38, &produced), DecodeBadCall);
    EXPECT_EQ(decoder.decodeBlock(s.stream.data(), size, size + 1, &consumed, row.data(), 39, &produced),
              DecodeBadCall);
    EXPECT_EQ(decoder.decodeBlock(nullptr, size, size, &consumed, row.data(), 39, &produced), DecodeBadCall);

    int total = 0;
    for (int i = 0; i < s.height; ++i) {
        decoder.decodeBlock(s.stream.data(), size, size - total, &consumed, row.data(), 39, &produced);
        total += consumed;
    }
    EXPECT_EQ(total, size);
    EXPECT_EQ(decoder.decodeBlock(s.stream.data(), size, 0, &consumed, row.data(), 39, &produced), DecodeLastRow);
    EXPECT_EQ(produced, 0);
    decoder.finish();
    EXPECT_EQ(decoder.decodeBlock(s.stream.data(), size, size, &consumed, row.data(), 39, &produced), DecodeBadCall);
}

std::string instanceTrace;
void recordInstanceTrace(const char* text)
{
    instanceTrace += text;
}

TEST(DecoderInput, TheSourcesDecoderInstanceRunsAScan)
{
    Sample s = encodedSample(true);
    int size = static_cast<int>(s.stream.size());
    std::vector<uint8_t> row(static_cast<size_t>(s.width * 3)), image;
    decoderSetTrace(recordInstanceTrace);
    ASSERT_EQ(decoderStart(s.width, s.height, 3, 8), DecoderStarted);
    int result = DecodeMoreRows, taken = 0;
    while (result == DecodeMoreRows) {
        int consumed = 0, produced = 0;
        result = decodeBlock(s.stream.data(), size, size - taken, &consumed, row.data(), 39, &produced);
        taken += consumed;
        image.insert(image.end(), row.begin(), row.begin() + produced);
    }
    decoderFinish();
    decoderSetTrace(nullptr);
    EXPECT_EQ(result, DecodeLastRow);
    EXPECT_EQ(image, s.image);
    EXPECT_EQ(instanceTrace, "re 2, ro 0, ge 0, go 0, be0, bo 1\n");
}

}  // namespace
}  // namespace scancodec
