#include "DecoderInstance.h"

namespace {

scancodec::StreamDecoder& theDecoder()
{
    static scancodec::StreamDecoder decoder;
    return decoder;
}

}  // namespace

int decoderStart(int width, int height, int channels, int bitsPerSample)
{
    return theDecoder().start(width, height, channels, bitsPerSample);
}

int decodeBlock(const uint8_t* input, int inputSize, int buffered, int* consumed, uint8_t* output, int outputSize,
                int* produced)
{
    return theDecoder().decodeBlock(input, inputSize, buffered, consumed, output, outputSize, produced);
}

void decoderFinish()
{
    theDecoder().finish();
}

void decoderSetColourOrder(scancodec::ColourOrder order)
{
    theDecoder().setColourOrder(order);
}

void decoderSetTrace(scancodec::DecoderTraceSink trace)
{
    theDecoder().setTrace(trace);
}
