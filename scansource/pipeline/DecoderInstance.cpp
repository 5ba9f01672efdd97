#include "DecoderInstance.h"

scancodec::StreamDecoder& sourceDecoder()
{
    static scancodec::StreamDecoder decoder;
    return decoder;
}

int decoderStart(int width, int height, int channels, int bitsPerSample)
{
    return sourceDecoder().start(width, height, channels, bitsPerSample);
}

int decodeBlock(const uint8_t* input, int inputSize, int buffered, int* consumed, uint8_t* output, int outputSize,
                int* produced)
{
    return sourceDecoder().decodeBlock(input, inputSize, buffered, consumed, output, outputSize, produced);
}

void decoderFinish()
{
    sourceDecoder().finish();
}

void decoderSetColourOrder(scancodec::ColourOrder order)
{
    sourceDecoder().setColourOrder(order);
}

void decoderSetTrace(scancodec::DecoderTraceSink trace)
{
    sourceDecoder().setTrace(trace);
}
