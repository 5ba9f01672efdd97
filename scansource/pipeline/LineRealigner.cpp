#include "LineRealigner.h"

#include <algorithm>
#include <new>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace scancodec {

bool LineRealigner::activate(const uint8_t offsets[kLineOffsetCount], int width, int channels)
{
    reset();
    width_ = width;
    channels_ = channels;
    rowSize_ = width * channels;
    maxOffset_ = *std::max_element(offsets, offsets + kLineOffsetCount);
    size_t ringSize = static_cast<size_t>(maxOffset_ + 1) * static_cast<size_t>(rowSize_);
    ring_.reset(new (std::nothrow) uint8_t[ringSize]());
    if (!ring_)
        return false;
    std::copy(offsets, offsets + kLineOffsetCount, readSlots_);
    const int period = channels == 3 ? kLineOffsetCount : 2;
    for (int phase = 0; phase < kChunkPhases; ++phase)
        for (int i = 0; i < kChunk; ++i) {
            int component = (phase * kChunk + i) % period;
            for (int source = 0; source < kLineOffsetCount; ++source)
                masks_[phase][source][i] = source == component ? 0xFF : 0x00;
        }
    return true;
}

void LineRealigner::reset()
{
    ring_.reset();
    maxOffset_ = 0;
    writeSlot_ = 0;
    primed_ = false;
    std::fill(readSlots_, readSlots_ + kLineOffsetCount, 0);
}

bool LineRealigner::advance()
{
    if (writeSlot_ == maxOffset_)
        primed_ = true;
    writeSlot_ = nextSlot(writeSlot_);
    return primed_;
}

void LineRealigner::assemble(uint8_t* output, ColourOrder order)
{
    const int period = channels_ == 3 ? kLineOffsetCount : 2;
    const bool blueFirst = channels_ == 3 && order == ColourOrder::BlueFirst;
    const uint8_t* sources[kLineOffsetCount] = {};
    int shifts[kLineOffsetCount] = {};
    if (channels_ == 3) {
        const int redFirstOrder[kLineOffsetCount] = {RedEven, GreenEven, BlueEven, RedOdd, GreenOdd, BlueOdd};
        const int blueFirstOrder[kLineOffsetCount] = {BlueEven, GreenEven, RedEven, BlueOdd, GreenOdd, RedOdd};
        const int blueFirstShifts[kLineOffsetCount] = {2, 0, -2, 2, 0, -2};
        for (int i = 0; i < kLineOffsetCount; ++i) {
            sources[i] = line(readSlots_[blueFirst ? blueFirstOrder[i] : redFirstOrder[i]]);
            shifts[i] = blueFirst ? blueFirstShifts[i] : 0;
        }
    } else {
        sources[0] = line(readSlots_[GreenEven]);
        sources[1] = line(readSlots_[GreenOdd]);
    }
    auto assembleBytes = [&](int from, int to) {
        for (int p = from; p < to; ++p) {
            int component = p % period;
            output[p] = sources[component][p + shifts[component]];
        }
    };
    int p = 0;
#if defined(__SSE2__)
    // With blue first the first chunk would reach before the row start.
    const int reach = blueFirst ? 2 : 0;
    const int firstChunk = blueFirst ? kChunk : 0;
    if (firstChunk + kChunk + reach <= rowSize_) {
        assembleBytes(0, firstChunk);
        p = firstChunk;
        for (int phase = p / kChunk; p + kChunk + reach <= rowSize_;
             p += kChunk, phase = phase == kChunkPhases - 1 ? 0 : phase + 1) {
            __m128i bytes = _mm_setzero_si128();
            for (int source = 0; source < period; ++source) {
                __m128i mask = _mm_load_si128(reinterpret_cast<const __m128i*>(masks_[phase][source]));
                __m128i chunk =
                    _mm_loadu_si128(reinterpret_cast<const __m128i*>(sources[source] + p + shifts[source]));
                bytes = _mm_or_si128(bytes, _mm_and_si128(chunk, mask));
            }
            _mm_storeu_si128(reinterpret_cast<__m128i*>(output + p), bytes);
        }
    }
#endif
    assembleBytes(p, rowSize_);
    for (int& slot : readSlots_)
        slot = nextSlot(slot);
}

}  // namespace scancodec
