#pragma once
// One fuzz case for the stream decoder, shared by the libFuzzer target and
// the regression test that replays the starting corpus and every crash ever found.
//
// Input: byte 0 picks the width (1..48), byte 1 the height (1..12), byte 2
// the channels (bit 0) and the receive buffer size, byte 3 the block sizes
// and the predictor of the re-encoding check; the rest is the stream.
// The stream is decoded twice, all at once and trickled through a small
// circular buffer; both must agree. A complete image must survive an
// encode-decode round trip. Any disagreement aborts.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace scancodec {

constexpr size_t kFuzzPrefixSize = 4;

void runDecoderFuzzCase(const uint8_t* data, size_t size);

// The prefix that makes runDecoderFuzzCase decode `stream` as this image.
std::vector<uint8_t> fuzzCaseFor(int width, int height, int channels, uint8_t bufferChoice, uint8_t blockChoice,
                                 const std::vector<uint8_t>& stream);

}  // namespace scancodec
