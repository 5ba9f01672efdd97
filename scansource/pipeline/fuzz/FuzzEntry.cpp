#include <cstddef>
#include <cstdint>

#include "DecoderFuzzHarness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    scancodec::runDecoderFuzzCase(data, size);
    return 0;
}
