#include "StreamEncoder.h"

#include <algorithm>

#include "BitWriter.h"
#include "Prediction.h"

namespace scancodec {
namespace {

void writeHeader(const EncoderSettings& settings, std::vector<uint8_t>& stream)
{
    size_t at = stream.size();
    stream.resize(at + kStreamHeaderSize, 0);
    stream[at] = kHeaderMark0;
    stream[at + 1] = kHeaderMark1;
    std::copy(settings.offsets, settings.offsets + kLineOffsetCount, stream.begin() + at + kHeaderOffsetsAt);
    stream[at + kHeaderPredictorAt] = static_cast<uint8_t>(settings.predictor);
}

// The samples of coded row `codedRow`: each component comes from the
// image row `offset` rows earlier, clamped to the image.
void gatherCodedRow(const uint8_t* image, int width, int height, int channels, const int offsets[2][3],
                    int codedRow, uint8_t* samples)
{
    size_t rowSize = static_cast<size_t>(width) * static_cast<size_t>(channels);
    for (int x = 0; x < width; ++x) {
        for (int c = 0; c < channels; ++c) {
            int sourceRow = std::clamp(codedRow - offsets[x % 2][c], 0, height - 1);
            size_t at = static_cast<size_t>(x) * static_cast<size_t>(channels) + static_cast<size_t>(c);
            samples[at] = static_cast<uint8_t>(~image[static_cast<size_t>(sourceRow) * rowSize + at]);
        }
    }
}

void writeCodedRow(BitWriter& writer, const uint8_t* current, const uint8_t* previous, int width, int channels,
                   int predictor, bool firstRow)
{
    uint64_t rowStart = writer.bitCount();
    writer.put(0, kRowFieldBits);
    int firstMode = firstColumnMode(predictor, firstRow);
    int restMode = restOfRowMode(predictor, firstRow);
    for (int x = 0; x < width; ++x) {
        for (int c = 0; c < channels; ++c) {
            int at = x * channels + c;
            int sample = current[at];
            if (predictor == kRawPredictor) {
                writer.put(static_cast<uint32_t>(sample), 8);
                continue;
            }
            int prediction;
            if (x == 0) {
                prediction = predictAny(firstMode, 0, firstRow ? 0 : previous[at], 0);
            } else {
                int above = firstRow ? 0 : previous[at];
                int aboveLeft = firstRow ? 0 : previous[at - channels];
                prediction = predictAny(restMode, current[at - channels], above, aboveLeft);
            }
            uint32_t code = 0;
            int length = sampleCode(static_cast<uint8_t>(sample - prediction), &code);
            writer.put(code, length);
        }
    }
    uint64_t written = writer.bitCount() - rowStart;
    uint64_t padding = static_cast<uint64_t>(rowEndBits(static_cast<int64_t>(written))) - written;
    for (; padding >= 16; padding -= 16)
        writer.put(0, 16);
    writer.put(0, static_cast<int>(padding));
}

}  // namespace

int sampleCode(uint8_t difference, uint32_t* code)
{
    int value = difference < 128 ? difference : difference - 256;
    int magnitude = value < 0 ? -value : value;
    int category = 0;
    while (magnitude >> category)
        ++category;
    const CategoryCode& prefix = kCategoryCodes[category];
    uint32_t extra = value >= 0 ? static_cast<uint32_t>(value) : static_cast<uint32_t>(value + (1 << category) - 1);
    *code = (static_cast<uint32_t>(prefix.code) << category) | extra;
    return prefix.codeLength + category;
}

int encodeStream(const uint8_t* image, int width, int height, int channels, const EncoderSettings& settings,
                 std::vector<uint8_t>& stream)
{
    if (!image || width < 1 || width > kMaxRowWidth || height < 1 || (channels != 1 && channels != 3))
        return EncodeBadGeometry;
    if (settings.predictor < 0 || settings.predictor > kHighestPredictor)
        return EncodeBadPredictor;
    // Without a header the decoder assumes the median predictor.
    if (!settings.withHeader && settings.predictor != PredictMedian)
        return EncodeBadPredictor;

    int offsets[2][3] = {};
    int codedRows = height;
    if (settings.withHeader) {
        writeHeader(settings, stream);
        const uint8_t* o = settings.offsets;
        if (channels == 3) {
            int even[3] = {o[RedEven], o[GreenEven], o[BlueEven]};
            int odd[3] = {o[RedOdd], o[GreenOdd], o[BlueOdd]};
            std::copy(even, even + 3, offsets[0]);
            std::copy(odd, odd + 3, offsets[1]);
        } else {
            offsets[0][0] = o[GreenEven];
            offsets[1][0] = o[GreenOdd];
        }
        codedRows += *std::max_element(o, o + kLineOffsetCount);
    }

    size_t rowSize = static_cast<size_t>(width) * static_cast<size_t>(channels);
    std::vector<uint8_t> current(rowSize), previous(rowSize);
    BitWriter writer(stream);
    for (int row = 0; row < codedRows; ++row) {
        gatherCodedRow(image, width, height, channels, offsets, row, current.data());
        writeCodedRow(writer, current.data(), previous.data(), width, channels, settings.predictor, row == 0);
        std::swap(current, previous);
    }
    return EncodeDone;
}

}  // namespace scancodec
