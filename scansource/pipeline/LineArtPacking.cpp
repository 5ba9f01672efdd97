#include "LineArtPacking.h"

#include <algorithm>
#include <array>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// A vector comparison yields pixel i in bit i; line art wants the first
// pixel in the top bit.
constexpr std::array<uint8_t, 256> kReversedBits = [] {
    std::array<uint8_t, 256> table{};
    for (int value = 0; value < 256; ++value) {
        int reversed = 0;
        for (int bit = 0; bit < 8; ++bit)
            if (value & (1 << bit))
                reversed |= 0x80 >> bit;
        table[static_cast<size_t>(value)] = static_cast<uint8_t>(reversed);
    }
    return table;
}();

}  // namespace

int packLineArtRow(const uint8_t* grey, int count, int threshold, bool invert, uint8_t* packed)
{
    const uint8_t flip = invert ? 0xFF : 0x00;
    int start = 0;
    int bytes = 0;
    if (threshold < 0 || threshold >= 255) {
        // No grey value is compared: all are above a negative threshold,
        // none above 255.
        const uint8_t whole = static_cast<uint8_t>((threshold < 0 ? 0xFF : 0x00) ^ flip);
        for (; start + 8 <= count; start += 8)
            packed[bytes++] = whole;
    }
#if defined(__SSE2__)
    else {
        // Unsigned bytes compared as signed ones with their top bit turned over.
        const __m128i topBit = _mm_set1_epi8(static_cast<char>(0x80));
        const __m128i limit = _mm_set1_epi8(static_cast<char>(threshold ^ 0x80));
        for (; start + 16 <= count; start += 16) {
            __m128i values = _mm_xor_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(grey + start)), topBit);
            int above = _mm_movemask_epi8(_mm_cmpgt_epi8(values, limit));
            packed[bytes++] = static_cast<uint8_t>(kReversedBits[static_cast<size_t>(above & 0xFF)] ^ flip);
            packed[bytes++] = static_cast<uint8_t>(kReversedBits[static_cast<size_t>(above >> 8)] ^ flip);
        }
    }
#endif
    for (; start < count; start += 8) {
        uint8_t value = 0;
        const int end = std::min(count, start + 8);
        for (int i = start; i < end; ++i)
            if (static_cast<int>(grey[i]) > threshold)
                value |= static_cast<uint8_t>(0x80 >> (i - start));
        packed[bytes++] = static_cast<uint8_t>(value ^ flip);
    }
    return bytes;
}
