#pragma once
// Test-only writer for hand-made streams: rows of chosen codes, so that
// expected samples can be worked out by hand.
#include <cstdint>
#include <vector>

#include "BitWriter.h"
#include "StreamFormat.h"

namespace scancodec {

class CraftedStream {
public:
    CraftedStream() : writer_(bytes_) {}

    void header(const uint8_t (&offsets)[kLineOffsetCount], int predictor)
    {
        for (int i = 0; i < kStreamHeaderSize; ++i) {
            uint8_t byte = 0;
            if (i == 0)
                byte = kHeaderMark0;
            else if (i >= kHeaderOffsetsAt && i < kHeaderOffsetsAt + kLineOffsetCount)
                byte = offsets[i - kHeaderOffsetsAt];
            else if (i == kHeaderPredictorAt)
                byte = static_cast<uint8_t>(predictor);
            writer_.put(byte, 8);
        }
    }

    void beginRow()
    {
        rowStart_ = writer_.bitCount();
        writer_.put(0, kRowFieldBits);
    }

    // A sample code: category k's prefix, then k extra bits.
    void sample(int category, uint32_t extra = 0)
    {
        writer_.put(kCategoryCodes[category].code, kCategoryCodes[category].codeLength);
        writer_.put(extra, category);
    }

    void bits(uint32_t value, int count) { writer_.put(value, count); }

    void endRow()
    {
        uint64_t written = writer_.bitCount() - rowStart_;
        uint64_t padding = static_cast<uint64_t>(rowEndBits(static_cast<int64_t>(written))) - written;
        for (; padding >= 16; padding -= 16)
            writer_.put(0, 16);
        writer_.put(0, static_cast<int>(padding));
    }

    uint64_t bitsInRow() const { return writer_.bitCount() - rowStart_; }
    const std::vector<uint8_t>& bytes() const { return bytes_; }

private:
    std::vector<uint8_t> bytes_;
    BitWriter writer_;
    uint64_t rowStart_ = 0;
};

}  // namespace scancodec
