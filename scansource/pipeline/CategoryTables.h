#pragma once
// Lookup tables for the size-category codes. A sample code is at most
// 16 bits (an 8-bit category code and 8 extra bits); most are far shorter,
// so one look at the top 11 bits usually yields two to four whole samples.
// Eleven bits rather than twelve: the table (16 KB) then shares the first
// level cache with the rows being rebuilt.
#include <cstdint>

namespace scancodec {

// Indexed by the top 8 bits: the category whose code they start with.
struct CategoryEntry {
    uint8_t codeLength;  // 0: the bits start no code (eight ones)
    uint8_t category;
};

// Indexed by the top kRunWindowBits bits: the samples coded wholly inside them.
struct SampleRunEntry {
    uint8_t bitCount;
    uint8_t sampleCount;  // 0 to 4
    uint8_t difference[4];  // unused ones are 0; all four are stored at once
    uint8_t unused[2];
};

constexpr int kRunWindowBits = 11;
constexpr int kLongestRun = 4;

struct CategoryTables {
    CategoryEntry byPrefix[256];
    SampleRunEntry byWindow[1 << kRunWindowBits];
};

const CategoryTables& categoryTables();

// The difference that k extra bits stand for, modulo 256 (sign extension
// of the lossless JPEG scheme: a leading 0 marks a negative difference).
inline uint8_t differenceFromExtraBits(uint32_t extra, int category)
{
    if (category == 0)
        return 0;
    if (extra >> (category - 1))
        return static_cast<uint8_t>(extra);
    return static_cast<uint8_t>(extra - ((1u << category) - 1));
}

}  // namespace scancodec
