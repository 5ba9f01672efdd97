#include "CategoryTables.h"

#include "StreamFormat.h"

namespace scancodec {
namespace {

CategoryEntry categoryOfPrefix(uint32_t top8)
{
    for (int k = 0; k < kCategoryCount; ++k) {
        const CategoryCode& code = kCategoryCodes[k];
        if ((top8 >> (8 - code.codeLength)) == code.code)
            return {code.codeLength, static_cast<uint8_t>(k)};
    }
    return {0, 0};
}

// Decodes one sample from the top `width` bits of window; false when the
// sample is not wholly inside them.
bool sampleInWindow(uint32_t window, int width, const CategoryTables& tables, int& bitCount, uint8_t& difference)
{
    if (width < 2)
        return false;
    uint32_t top8 = width >= 8 ? window >> (width - 8) : window << (8 - width);
    CategoryEntry entry = tables.byPrefix[top8 & 0xFF];
    if (entry.codeLength == 0 || entry.codeLength + entry.category > width)
        return false;
    bitCount = entry.codeLength + entry.category;
    uint32_t extra = (window >> (width - bitCount)) & ((1u << entry.category) - 1);
    difference = differenceFromExtraBits(extra, entry.category);
    return true;
}

CategoryTables buildTables()
{
    CategoryTables tables{};
    for (uint32_t top8 = 0; top8 < 256; ++top8)
        tables.byPrefix[top8] = categoryOfPrefix(top8);
    for (uint32_t window = 0; window < (1u << kRunWindowBits); ++window) {
        SampleRunEntry& entry = tables.byWindow[window];
        int used = 0;
        while (entry.sampleCount < kLongestRun) {
            int width = kRunWindowBits - used;
            uint32_t rest = window & ((1u << width) - 1);
            int bits = 0;
            if (!sampleInWindow(rest, width, tables, bits, entry.difference[entry.sampleCount]))
                break;
            used += bits;
            ++entry.sampleCount;
        }
        entry.bitCount = static_cast<uint8_t>(used);
    }
    return tables;
}

}  // namespace

const CategoryTables& categoryTables()
{
    static const CategoryTables tables = buildTables();
    return tables;
}

}  // namespace scancodec
