#pragma once
// Layout of the scanner's compressed line stream, shared by the decoder,
// the encoder and their tests.
#include <cstdint>

namespace scancodec {

// The optional stream header: 0xFF 0x00, six line offsets, the predictor,
// then padding up to 1024 bytes.
constexpr int kStreamHeaderSize = 1024;
constexpr uint8_t kHeaderMark0 = 0xFF;
constexpr uint8_t kHeaderMark1 = 0x00;
constexpr int kHeaderOffsetsAt = 2;
constexpr int kHeaderPredictorAt = 8;

// Line offsets in header order: red even/odd, green even/odd, blue even/odd.
enum LineOffsetIndex { RedEven, RedOdd, GreenEven, GreenOdd, BlueEven, BlueOdd, kLineOffsetCount };

// The widest row the device can send; row buffers are never larger.
constexpr int kMaxRowWidth = 22624;

constexpr int kRowFieldBits = 16;
constexpr int kRowAlignBits = 128;
constexpr int kHighestPredictor = 9;
constexpr int kRawPredictor = 9;
constexpr int kFixedPredictor = 8;

// Category k (0..8) is coded as a prefix of codeLength bits, followed by
// k extra bits.
constexpr int kCategoryCount = 9;
struct CategoryCode {
    uint8_t code;
    uint8_t codeLength;
};
constexpr CategoryCode kCategoryCodes[kCategoryCount] = {
    {0x0, 2}, {0x1, 2}, {0x2, 2}, {0x6, 3}, {0xE, 4}, {0x1E, 5}, {0x3E, 6}, {0x7E, 7}, {0xFE, 8},
};

// Bit count from the row start to the end of the coded row whose samples
// end after sampleEndBits: up to the next 16-bit boundary (a whole word
// when already on one), one more word, then words up to 128 bits.
constexpr int64_t rowEndBits(int64_t sampleEndBits)
{
    int64_t end = (sampleEndBits / 16) * 16 + 16 + 16;
    return (end + kRowAlignBits - 1) / kRowAlignBits * kRowAlignBits;
}

}  // namespace scancodec
