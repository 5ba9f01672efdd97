// Hand-worked cases of the stream format: first-row and first-column
// prediction, the code table, row alignment, inversion and line offsets.
#include <gtest/gtest.h>

#include <string>

#include "CraftedStream.h"
#include "StreamEncoder.h"
#include "StreamFeeder.h"
#include "TestImages.h"

namespace scancodec {
namespace {

constexpr uint8_t kNoOffsets[kLineOffsetCount] = {};

std::vector<uint8_t> inverted(std::vector<int> samples)
{
    std::vector<uint8_t> out;
    for (int s : samples)
        out.push_back(static_cast<uint8_t>(255 - s));
    return out;
}

TEST(DecoderEdgeCases, FirstSampleIsMidGreyPlusDifferenceForPredictorsZeroToSeven)
{
    for (int predictor = 0; predictor <= 7; ++predictor) {
        CraftedStream stream;
        stream.header(kNoOffsets, predictor);
        stream.beginRow();
        stream.sample(2, 0x3);  // +3
        stream.endRow();
        FeedResult result = decodeWhole(stream.bytes(), 1, 1, 1);
        EXPECT_EQ(result.status, DecodeLastRow) << predictor;
        EXPECT_EQ(result.image, inverted({131})) << predictor;
    }
}

TEST(DecoderEdgeCases, FirstPixelOfLaterRowsUsesMidGreyOnlyWithPredictorOne)
{
    for (int predictor = 0; predictor <= 7; ++predictor) {
        CraftedStream stream;
        stream.header(kNoOffsets, predictor);
        stream.beginRow();
        stream.sample(2, 0x3);  // 128 + 3
        stream.sample(0);       // left: 131
        stream.endRow();
        stream.beginRow();
        stream.sample(1, 0x1);  // +1
        stream.sample(0);
        stream.endRow();
        FeedResult result = decodeWhole(stream.bytes(), 2, 2, 1);
        ASSERT_EQ(result.status, DecodeLastRow) << predictor;
        int expectedFirst = predictor == 1 ? 129 : 132;
        EXPECT_EQ(result.image[2], 255 - expectedFirst) << predictor;
    }
}

TEST(DecoderEdgeCases, CategoryThreeExtraBitsGiveMinusFiveAndPlusSix)
{
    CraftedStream stream;
    stream.beginRow();
    stream.sample(3, 0x2);  // 010: -5 -> 123
    stream.sample(3, 0x6);  // 110: +6 -> 129
    stream.endRow();
    FeedResult result = decodeWhole(stream.bytes(), 2, 1, 1);
    EXPECT_EQ(result.status, DecodeLastRow);
    EXPECT_EQ(result.image, inverted({123, 129}));
}

TEST(DecoderEdgeCases, OutputIsTheInverseOfTheSample)
{
    CraftedStream stream;
    stream.beginRow();
    stream.sample(8, 0x7F);  // -128: sample 0
    stream.sample(8, 0xFF);  // +255 = -1 mod 256: sample 255
    stream.endRow();
    FeedResult result = decodeWhole(stream.bytes(), 2, 1, 1);
    EXPECT_EQ(result.image, (std::vector<uint8_t>{255, 0}));
}

TEST(DecoderEdgeCases, RowEndingOnAWordBoundaryStillSkipsOneMoreWord)
{
    EXPECT_EQ(rowEndBits(110), 128);
    EXPECT_EQ(rowEndBits(111), 128);
    EXPECT_EQ(rowEndBits(112), 256);
    EXPECT_EQ(rowEndBits(96), 128);
    EXPECT_EQ(rowEndBits(113), 256);

    // 16 + 48 x 2 bits = 112: the row takes 32 bytes, not 16.
    CraftedStream stream;
    stream.beginRow();
    for (int x = 0; x < 48; ++x)
        stream.sample(0);
    ASSERT_EQ(stream.bitsInRow(), 112u);
    stream.endRow();
    ASSERT_EQ(stream.bytes().size(), 32u);
    stream.beginRow();
    stream.sample(1, 0x1);
    for (int x = 1; x < 48; ++x)
        stream.sample(0);
    stream.endRow();
    FeedResult result = decodeWhole(stream.bytes(), 48, 2, 1);
    ASSERT_EQ(result.status, DecodeLastRow);
    EXPECT_EQ(result.image[0], 255 - 128);
    EXPECT_EQ(result.image[48], 255 - 129);
}

TEST(DecoderEdgeCases, StreamWithoutHeaderUsesTheMedianPredictorFromByteZero)
{
    std::vector<uint8_t> image = makeTestPage(33, 9, 3, 7);
    std::vector<uint8_t> stream;
    ASSERT_EQ(encodeStream(image.data(), 33, 9, 3, EncoderSettings{}, stream), EncodeDone);
    StreamDecoder decoder;
    FeedPlan plan{static_cast<int>(stream.size()), {static_cast<int>(stream.size())}};
    FeedResult result = feedStream(decoder, stream, 33, 9, 3, plan);
    EXPECT_EQ(result.status, DecodeLastRow);
    EXPECT_EQ(result.image, image);
    EXPECT_EQ(result.rowsAfterCall.front(), 1) << "the first call already delivers a row";
}

TEST(DecoderEdgeCases, LineOffsetsTakeEachComponentFromALaterDecodedRow)
{
    // Coded rows are image rows (offsets 0 when encoding); the header then
    // claims re = ro = 4, ge = go = 2, be = bo = 0.
    const int width = 5, height = 3, codedRows = height + 4;
    std::vector<uint8_t> image(static_cast<size_t>(width * 3 * codedRows));
    for (size_t i = 0; i < image.size(); ++i)
        image[i] = static_cast<uint8_t>(i * 7 + 3);
    EncoderSettings settings;
    settings.withHeader = true;
    std::vector<uint8_t> stream;
    ASSERT_EQ(encodeStream(image.data(), width, codedRows, 3, settings, stream), EncodeDone);
    const uint8_t offsets[kLineOffsetCount] = {4, 4, 2, 2, 0, 0};
    std::copy(offsets, offsets + kLineOffsetCount, stream.begin() + kHeaderOffsetsAt);

    StreamDecoder decoder;
    FeedResult result = feedStream(decoder, stream, width, height, 3, FeedPlan{});
    ASSERT_EQ(result.status, DecodeLastRow);
    ASSERT_EQ(result.rows, height);
    // Header call, then four rows into the ring, the fifth gives output row 0.
    EXPECT_EQ(result.rowsAfterCall, (std::vector<int>{0, 0, 0, 0, 0, 1, 2, 3}));
    for (int row = 0; row < height; ++row)
        for (int x = 0; x < width; ++x) {
            const uint8_t* got = &result.image[static_cast<size_t>((row * width + x) * 3)];
            auto source = [&](int decodedRow, int c) { return image[static_cast<size_t>((decodedRow * width + x) * 3 + c)]; };
            EXPECT_EQ(got[0], source(row + 4, 0));
            EXPECT_EQ(got[1], source(row + 2, 1));
            EXPECT_EQ(got[2], source(row, 2));
        }
}

TEST(DecoderEdgeCases, OddAndEvenPixelsOfGreyTakeTheirOwnGreenOffset)
{
    const int width = 5, height = 2;
    std::vector<uint8_t> image = makeNoiseImage(width, height, 1, 3);
    EncoderSettings settings;
    settings.withHeader = true;
    settings.offsets[GreenEven] = 1;
    settings.offsets[GreenOdd] = 3;
    settings.offsets[RedEven] = 5;  // ignored for grey, but adds coded rows
    std::vector<uint8_t> stream;
    ASSERT_EQ(encodeStream(image.data(), width, height, 1, settings, stream), EncodeDone);
    FeedResult result = decodeWhole(stream, width, height, 1);
    EXPECT_EQ(result.status, DecodeLastRow);
    EXPECT_EQ(result.image, image);
    // The header, the coded rows, and the last row finished after them.
    EXPECT_EQ(result.rowsAfterCall.size(), 1u + height + 5u + 1u);
}

std::string traced;
void recordTrace(const char* text)
{
    traced += text;
}

TEST(DecoderEdgeCases, PredictorAboveNineIsTracedAndIsACorruptStream)
{
    std::vector<uint8_t> image = makeTestPage(20, 6, 3, 2);
    EncoderSettings settings;
    settings.withHeader = true;
    std::vector<uint8_t> stream;
    ASSERT_EQ(encodeStream(image.data(), 20, 6, 3, settings, stream), EncodeDone);
    stream[kHeaderPredictorAt] = 12;

    traced.clear();
    StreamDecoder decoder(recordTrace);
    FeedResult result = feedStream(decoder, stream, 20, 6, 3, FeedPlan{});
    EXPECT_EQ(result.status, DecodeCorruptData);
    EXPECT_EQ(traced, "re 0, ro 0, ge 0, go 0, be0, bo 0\npredictor error\n");
}

}  // namespace
}  // namespace scancodec
