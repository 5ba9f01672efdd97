#pragma once
// Feeds a whole stream to the decoder the way the scan engine does: through
// a circular receive buffer, one block at a time, decoding after each block
// until the decoder asks for more input.
#include <cstdint>
#include <vector>

#include "StreamDecoder.h"

namespace scancodec {

struct FeedPlan {
    int ringSize = 32768;
    std::vector<int> blockSizes = {4096};  // used in turn, cut to the free space
    ColourOrder colourOrder = ColourOrder::RedFirst;
};

constexpr int kFeedStuck = -1;  // the decoder neither took input nor made output

struct FeedResult {
    int status = 0;  // the last decodeBlock result (DecodeLastRow when complete)
    std::vector<uint8_t> image;
    int rows = 0;
    std::vector<int> rowsAfterCall;  // rows delivered after each decodeBlock call
};

FeedResult feedStream(StreamDecoder& decoder, const std::vector<uint8_t>& stream, int width, int height,
                      int channels, const FeedPlan& plan);

// Everything at once: the whole stream is the circular buffer.
FeedResult decodeWhole(const std::vector<uint8_t>& stream, int width, int height, int channels);

}  // namespace scancodec
