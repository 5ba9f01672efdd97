#include "RawStreamCoder.h"

std::vector<uint8_t> rawStreamHeader()
{
    std::vector<uint8_t> header(kStreamHeaderSize, 0);
    header[0] = 0xFF;
    header[1] = 0x00;
    header[8] = kRawPredictor;
    return header;
}

uint32_t rawCodedRowSize(uint32_t sampleCount)
{
    uint32_t bits = 16 + 8 * sampleCount;
    bits = (bits / 16 + 1) * 16;  // to the next 16-bit boundary, a whole word when already on one
    bits += 16;                   // at least one further word
    bits = (bits + 127) / 128 * 128;
    return bits / 8;
}

void appendRawCodedRow(const uint8_t* levels, uint32_t sampleCount, std::vector<uint8_t>& out)
{
    size_t start = out.size();
    out.resize(start + rawCodedRowSize(sampleCount), 0);
    for (uint32_t i = 0; i < sampleCount; ++i)
        out[start + 2 + i] = static_cast<uint8_t>(255 - levels[i]);
}
