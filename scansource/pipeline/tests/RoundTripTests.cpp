// Encoder and decoder against each other over many shapes and settings.
#include <gtest/gtest.h>

#include "StreamEncoder.h"
#include "StreamFeeder.h"
#include "TestImages.h"

namespace scancodec {
namespace {

struct Case {
    int width, height, channels, predictor;
    bool withHeader;
    std::vector<uint8_t> offsets;
};

std::string describe(const Case& c)
{
    std::string text = std::to_string(c.width) + "x" + std::to_string(c.height) + "x" + std::to_string(c.channels)
                       + " predictor " + std::to_string(c.predictor);
    if (c.withHeader) {
        text += " offsets";
        for (uint8_t o : c.offsets)
            text += " " + std::to_string(o);
    }
    return text;
}

void expectRoundTrip(const Case& c, const std::vector<uint8_t>& image, const FeedPlan& plan)
{
    EncoderSettings settings;
    settings.predictor = c.predictor;
    settings.withHeader = c.withHeader;
    std::copy(c.offsets.begin(), c.offsets.end(), settings.offsets);
    std::vector<uint8_t> stream;
    ASSERT_EQ(encodeStream(image.data(), c.width, c.height, c.channels, settings, stream), EncodeDone);
    ASSERT_EQ(stream.size() % 16, 0u) << "rows are whole 16-byte units";
    StreamDecoder decoder;
    FeedResult result = feedStream(decoder, stream, c.width, c.height, c.channels, plan);
    ASSERT_EQ(result.status, DecodeLastRow) << describe(c);
    ASSERT_EQ(result.image, image) << describe(c);
    if (c.channels != 3)
        return;
    // Decoded blue first, the same pixels with red and blue exchanged.
    std::vector<uint8_t> blueFirst = image;
    for (size_t i = 0; i < blueFirst.size(); i += 3)
        std::swap(blueFirst[i], blueFirst[i + 2]);
    FeedPlan exchanged = plan;
    exchanged.colourOrder = ColourOrder::BlueFirst;
    ASSERT_EQ(feedStream(decoder, stream, c.width, c.height, c.channels, exchanged).image, blueFirst) << describe(c);
}

TEST(RoundTrip, EveryPredictorWidthAndChannelCount)
{
    for (int channels : {1, 3})
        for (int width : {1, 2, 3, 7, 16, 31, 64, 257})
            for (int predictor = 0; predictor <= kHighestPredictor; ++predictor)
                for (bool natural : {true, false}) {
                    // Only a header can name a predictor other than the median.
                    bool withHeader = predictor != 0 || width % 2 == 0;
                    Case c{width, 6, channels, predictor, withHeader, std::vector<uint8_t>(kLineOffsetCount, 0)};
                    uint32_t variant = static_cast<uint32_t>(width * 10 + predictor);
                    std::vector<uint8_t> image = natural ? makeTestPage(width, c.height, channels, variant)
                                                         : makeNoiseImage(width, c.height, channels, variant);
                    expectRoundTrip(c, image, FeedPlan{});
                }
}

TEST(RoundTrip, HeaderWithOffsetsInEveryChannel)
{
    for (int channels : {1, 3})
        for (int which = 0; which <= kLineOffsetCount; ++which)
            for (int width : {1, 6, 33}) {
                Case c{width, 7, channels, which % 10, true, std::vector<uint8_t>(kLineOffsetCount, 0)};
                if (which < kLineOffsetCount)
                    c.offsets[static_cast<size_t>(which)] = static_cast<uint8_t>(1 + which);
                std::vector<uint8_t> image = makeTestPage(width, c.height, channels, static_cast<uint32_t>(which));
                expectRoundTrip(c, image, FeedPlan{});
            }
}

TEST(RoundTrip, SensorLikeOffsetsThroughASmallReceiveBuffer)
{
    Case colour{301, 40, 3, 0, true, {8, 9, 4, 5, 0, 1}};
    expectRoundTrip(colour, makeTestPage(301, 40, 3, 5), FeedPlan{4096, {1000, 24, 3000}});
    Case grey{300, 40, 1, 4, true, {0, 0, 255, 254, 0, 0}};
    expectRoundTrip(grey, makeNoiseImage(300, 40, 1, 5), FeedPlan{1000, {999}});
}

TEST(RoundTrip, EncoderRefusesWhatTheDecoderCannotTake)
{
    std::vector<uint8_t> image(16), stream;
    EncoderSettings settings;
    settings.predictor = 10;
    settings.withHeader = true;
    EXPECT_EQ(encodeStream(image.data(), 4, 4, 1, settings, stream), EncodeBadPredictor);
    settings.predictor = 1;
    settings.withHeader = false;
    EXPECT_EQ(encodeStream(image.data(), 4, 4, 1, settings, stream), EncodeBadPredictor);
    EXPECT_EQ(encodeStream(image.data(), 4, 4, 2, EncoderSettings{}, stream), EncodeBadGeometry);
    EXPECT_EQ(encodeStream(image.data(), kMaxRowWidth + 1, 1, 1, EncoderSettings{}, stream), EncodeBadGeometry);
    EXPECT_TRUE(stream.empty());
}

TEST(RoundTrip, SampleCodesFollowTheCategoryTable)
{
    uint32_t code = 0;
    EXPECT_EQ(sampleCode(0, &code), 2);
    EXPECT_EQ(code, 0u);
    EXPECT_EQ(sampleCode(static_cast<uint8_t>(-5), &code), 6);
    EXPECT_EQ(code, 0x32u);  // 110 010
    EXPECT_EQ(sampleCode(6, &code), 6);
    EXPECT_EQ(code, 0x36u);  // 110 110
    EXPECT_EQ(sampleCode(128, &code), 16);
    EXPECT_EQ(code, 0xFE7Fu);  // -128: 11111110 01111111
}

}  // namespace
}  // namespace scancodec
