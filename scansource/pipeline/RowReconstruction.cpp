#include "RowReconstruction.h"

#include <cstring>

#include "Prediction.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace scancodec {
namespace {

// Pixels 1 .. width - 1 of a row with one mode; the left and above-left
// neighbours stay in registers from one pixel to the next.
template <int Mode, int Channels>
void reconstructRest(const RowBuffers& rows, int width)
{
    const uint8_t* difference = rows.differences;
    const uint8_t* previous = rows.previous;
    uint8_t* current = rows.current;
    uint8_t* inverted = rows.inverted;
    int left[Channels];
    int aboveLeft[Channels];
    for (int c = 0; c < Channels; ++c) {
        left[c] = current[c];
        aboveLeft[c] = previous[c];
    }
    for (int x = 1; x < width; ++x) {
        int at = x * Channels;
        for (int c = 0; c < Channels; ++c) {
            int above = previous[at + c];
            int sample = (predict<Mode>(left[c], above, aboveLeft[c]) + difference[at + c]) & 0xFF;
            current[at + c] = static_cast<uint8_t>(sample);
            inverted[at + c] = static_cast<uint8_t>(~sample);
            left[c] = sample;
            aboveLeft[c] = above;
        }
    }
}

#if defined(__SSE2__)
// The median predictor, the device's usual one, without branches (noisy
// data makes its three cases unpredictable): the channels of a pixel go
// through it side by side in the bytes of one vector. With g = b - d the
// median of a, b and a + g is b clamped to [a + min(g, 0), a + max(g, 0)];
// saturating byte arithmetic gives those bounds (a bound beyond 0..255
// clamps b just as well at 0 or 255), and only three steps depend on the
// previous pixel. Each step loads and stores four bytes; those past the
// pixel belong to the next pixels and are rewritten by them, and the last
// pixels are done one by one so that nothing outside the row is touched.
inline __m128i loadFourBytes(const uint8_t* p)
{
    uint32_t word;
    std::memcpy(&word, p, sizeof word);
    return _mm_cvtsi32_si128(static_cast<int>(word));
}

inline void storeFourBytes(uint8_t* p, __m128i bytes)
{
    uint32_t word = static_cast<uint32_t>(_mm_cvtsi128_si32(bytes));
    std::memcpy(p, &word, sizeof word);
}

template <int Channels>
void reconstructMedianVector(const RowBuffers& rows, int width)
{
    // Pixels whose four-byte step would reach past the row.
    constexpr int kTail = (4 + Channels - 1) / Channels - 1;
    int vectorEnd = width - kTail;
    const __m128i allOnes = _mm_set1_epi8(-1);
    int x = 1;
    if (vectorEnd > 1) {
        __m128i left = loadFourBytes(rows.current);
        __m128i aboveLeft = loadFourBytes(rows.previous);
        for (; x < vectorEnd; ++x) {
            int at = Channels * x;
            __m128i above = loadFourBytes(rows.previous + at);
            __m128i fall = _mm_subs_epu8(aboveLeft, above);
            __m128i rise = _mm_subs_epu8(above, aboveLeft);
            __m128i prediction =
                _mm_min_epu8(_mm_max_epu8(above, _mm_subs_epu8(left, fall)), _mm_adds_epu8(left, rise));
            __m128i sample = _mm_add_epi8(prediction, loadFourBytes(rows.differences + at));
            storeFourBytes(rows.current + at, sample);
            storeFourBytes(rows.inverted + at, _mm_xor_si128(sample, allOnes));
            left = sample;
            aboveLeft = above;
        }
    }
    for (; x < width; ++x)
        for (int c = 0; c < Channels; ++c) {
            int at = x * Channels + c;
            int above = rows.previous[at];
            int sample = (predict<PredictMedian>(rows.current[at - Channels], above, rows.previous[at - Channels])
                          + rows.differences[at]) & 0xFF;
            rows.current[at] = static_cast<uint8_t>(sample);
            rows.inverted[at] = static_cast<uint8_t>(~sample);
        }
}

template <>
void reconstructRest<PredictMedian, 3>(const RowBuffers& rows, int width)
{
    reconstructMedianVector<3>(rows, width);
}

template <>
void reconstructRest<PredictMedian, 1>(const RowBuffers& rows, int width)
{
    reconstructMedianVector<1>(rows, width);
}
#endif

using RestRoutine = void (*)(const RowBuffers&, int);

template <int Channels>
RestRoutine restRoutine(int mode)
{
    switch (mode) {
    case PredictMedian: return reconstructRest<PredictMedian, Channels>;
    case PredictLeft: return reconstructRest<PredictLeft, Channels>;
    case PredictAbove: return reconstructRest<PredictAbove, Channels>;
    case PredictAboveLeft: return reconstructRest<PredictAboveLeft, Channels>;
    case PredictPlane: return reconstructRest<PredictPlane, Channels>;
    case PredictLeftWeighted: return reconstructRest<PredictLeftWeighted, Channels>;
    case PredictAboveWeighted: return reconstructRest<PredictAboveWeighted, Channels>;
    case PredictAverage: return reconstructRest<PredictAverage, Channels>;
    case PredictMidGrey: return reconstructRest<PredictMidGrey, Channels>;
    default: return reconstructRest<PredictZero, Channels>;
    }
}

}  // namespace

void reconstructRow(const RowBuffers& rows, int width, int channels, int predictor, bool firstRow)
{
    int firstMode = firstColumnMode(predictor, firstRow);
    for (int c = 0; c < channels; ++c) {
        int above = firstRow ? 0 : rows.previous[c];
        int sample = (predictAny(firstMode, 0, above, 0) + rows.differences[c]) & 0xFF;
        rows.current[c] = static_cast<uint8_t>(sample);
        rows.inverted[c] = static_cast<uint8_t>(~sample);
    }
    int restMode = restOfRowMode(predictor, firstRow);
    RestRoutine routine = channels == 3 ? restRoutine<3>(restMode) : restRoutine<1>(restMode);
    routine(rows, width);
}

}  // namespace scancodec
