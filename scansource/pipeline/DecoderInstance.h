#pragma once
// The source's one decoder, as the scan engine calls it. The calls and
// their results are those of StreamDecoder (see StreamDecoder.h);
// `buffered` is the number of bytes that have arrived in the receive
// buffer from the decoder's read position on.
#include <cstdint>

#include "StreamDecoder.h"

int decoderStart(int width, int height, int channels, int bitsPerSample);
int decodeBlock(const uint8_t* input, int inputSize, int buffered, int* consumed, uint8_t* output, int outputSize,
                int* produced);
void decoderFinish();

// The order of the colour rows produced from now on (decoderStart sets
// RedFirst).
void decoderSetColourOrder(scancodec::ColourOrder order);

// Where the decoder's diagnostic texts go (the source's trace).
void decoderSetTrace(scancodec::DecoderTraceSink trace);

// The instance behind these calls.
scancodec::StreamDecoder& sourceDecoder();
