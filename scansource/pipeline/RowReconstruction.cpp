#include "RowReconstruction.h"

#include <algorithm>
#include <utility>

#include "MedianRun.h"
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

// The median predictor from pixel `from` (at least 1) up to `to` (the row
// end by default), into rows.current.
template <int Channels>
void reconstructMedianSamples(const RowBuffers& rows, int width, int from = 1, int to = -1)
{
    if (to < 0)
        to = width;
    const int runEnd = std::min(to, width - kMedianRunTail<Channels>);
    int x = from;
    if (runEnd > from) {
        MedianRun<Channels> run(rows.previous, rows.differences, rows.current, from);
        while (run.pixel() < runEnd)
            run.step();
        x = run.pixel();
    }
    for (; x < to; ++x)
        for (int c = 0; c < Channels; ++c) {
            int at = x * Channels + c;
            rows.current[at] = static_cast<uint8_t>(
                predict<PredictMedian>(rows.current[at - Channels], rows.previous[at], rows.previous[at - Channels])
                + rows.differences[at]);
        }
}

void invertRow(const uint8_t* samples, uint8_t* inverted, int size)
{
    int i = 0;
#if defined(__SSE2__)
    const __m128i allOnes = _mm_set1_epi8(-1);
    for (; i + 16 <= size; i += 16) {
        __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(samples + i));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(inverted + i), _mm_xor_si128(chunk, allOnes));
    }
#endif
    for (; i < size; ++i)
        inverted[i] = static_cast<uint8_t>(~samples[i]);
}

// Colour pixels inverted and written B, G, R: output byte q is input byte
// q + 2, q or q - 2 as q is the first, second or third byte of its pixel.
void invertBlueFirst(const uint8_t* samples, uint8_t* inverted, int pixels)
{
    const int size = pixels * 3;
    int q = 0;
#if defined(__SSE2__)
    // Sixteen bytes at a time from the second pixel on, where the bytes two
    // behind and two ahead are still in the row; a chunk's first byte is
    // the first, second or third of its pixel in turn.
    struct PickMasks {
        alignas(16) uint8_t bytes[3][3][16];  // [phase][source: ahead, here, behind][byte]
    };
    static constexpr PickMasks masks = [] {
        PickMasks m{};
        for (int phase = 0; phase < 3; ++phase)
            for (int source = 0; source < 3; ++source)
                for (int i = 0; i < 16; ++i)
                    m.bytes[phase][source][i] = (phase + i) % 3 == source ? 0xFF : 0x00;
        return m;
    }();
    if (size >= 3 + 16 + 2) {
        for (; q < 3; ++q)
            inverted[q] = static_cast<uint8_t>(~samples[2 - q]);
        const __m128i allOnes = _mm_set1_epi8(-1);
        for (int phase = 0; q + 16 + 2 <= size; q += 16, phase = phase == 2 ? 0 : phase + 1) {
            const __m128i* pick = reinterpret_cast<const __m128i*>(masks.bytes[phase]);
            __m128i ahead = _mm_loadu_si128(reinterpret_cast<const __m128i*>(samples + q + 2));
            __m128i here = _mm_loadu_si128(reinterpret_cast<const __m128i*>(samples + q));
            __m128i behind = _mm_loadu_si128(reinterpret_cast<const __m128i*>(samples + q - 2));
            __m128i bytes = _mm_or_si128(_mm_or_si128(_mm_and_si128(ahead, _mm_load_si128(pick)),
                                                      _mm_and_si128(here, _mm_load_si128(pick + 1))),
                                         _mm_and_si128(behind, _mm_load_si128(pick + 2)));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(inverted + q), _mm_xor_si128(bytes, allOnes));
        }
    }
#endif
    for (; q < size; ++q)
        inverted[q] = static_cast<uint8_t>(~samples[q + 2 - 2 * (q % 3)]);
}

void exchangeRedAndBlue(uint8_t* pixels, int count)
{
    for (int x = 0; x < count; ++x)
        std::swap(pixels[3 * x], pixels[3 * x + 2]);
}

// The median predictor has its own vector run (MedianRun.h), then one
// pass inverts the row.
template <int Channels>
void reconstructMedianRest(const RowBuffers& rows, int width)
{
    reconstructMedianSamples<Channels>(rows, width);
    invertRow(rows.current + Channels, rows.inverted + Channels, (width - 1) * Channels);
}

template <>
void reconstructRest<PredictMedian, 3>(const RowBuffers& rows, int width)
{
    reconstructMedianRest<3>(rows, width);
}

template <>
void reconstructRest<PredictMedian, 1>(const RowBuffers& rows, int width)
{
    reconstructMedianRest<1>(rows, width);
}

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

// Pixel 0 into rows.current; it has no left neighbour.
void reconstructFirstPixel(const RowBuffers& rows, int channels, int predictor, bool firstRow)
{
    int firstMode = firstColumnMode(predictor, firstRow);
    for (int c = 0; c < channels; ++c) {
        int above = firstRow ? 0 : rows.previous[c];
        rows.current[c] = static_cast<uint8_t>(predictAny(firstMode, 0, above, 0) + rows.differences[c]);
    }
}

}  // namespace

void greyMedianSamples(const RowBuffers& rows, int width, int from, int to)
{
    reconstructMedianSamples<1>(rows, width, from, to);
}

void invertSamples(const uint8_t* samples, uint8_t* inverted, int size)
{
    invertRow(samples, inverted, size);
}

void finishGreyMedianRow(const RowBuffers& rows, int width, int reconstructed)
{
    reconstructMedianSamples<1>(rows, width, reconstructed);
    invertRow(rows.current, rows.inverted, width);
}

void reconstructRow(const RowBuffers& rows, int width, int channels, int predictor, bool firstRow,
                    ColourOrder order)
{
    reconstructFirstPixel(rows, channels, predictor, firstRow);
    int restMode = restOfRowMode(predictor, firstRow);
    const bool blueFirst = channels == 3 && order == ColourOrder::BlueFirst;
    // The device's usual mode exchanges the colours in its inverting pass;
    // the others turn their finished row round.
    if (blueFirst && restMode == PredictMedian) {
        reconstructMedianSamples<3>(rows, width);
        invertBlueFirst(rows.current, rows.inverted, width);
        return;
    }
    invertRow(rows.current, rows.inverted, channels);
    RestRoutine routine = channels == 3 ? restRoutine<3>(restMode) : restRoutine<1>(restMode);
    routine(rows, width);
    if (blueFirst)
        exchangeRedAndBlue(rows.inverted, width);
}

}  // namespace scancodec
