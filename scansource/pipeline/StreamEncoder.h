#pragma once
// Encoder of the scanner's line stream: the exact inverse of StreamDecoder.
// It feeds the scanner emulator and the tests.
//
// The image is given as the decoder delivers it: rows of width x channels
// bytes, each the inverse of the sample. With a stream header, the coded
// rows carry every component `offset` rows later, as the device's sensor
// delivers them; the stream then holds height + the largest offset coded
// rows (rows beyond the image repeat its last row).
#include <cstdint>
#include <vector>

#include "StreamFormat.h"

namespace scancodec {

struct EncoderSettings {
    int predictor = 0;  // 0..9; without a header only 0 (the median)
    bool withHeader = false;
    uint8_t offsets[kLineOffsetCount] = {};  // used with the header
};

enum EncodeResult : int {
    EncodeDone = 0,
    EncodeBadGeometry = 1,
    EncodeBadPredictor = 2,
};

// Appends the stream to `stream`.
int encodeStream(const uint8_t* image, int width, int height, int channels, const EncoderSettings& settings,
                 std::vector<uint8_t>& stream);

// The bits that code one difference (modulo 256) with a Huffman-coded
// category: returns the bit count, the code in the low bits of *code.
int sampleCode(uint8_t difference, uint32_t* code);

}  // namespace scancodec
