#include "RowReconstruction.h"

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

// The median predictor from pixel `from` (at least 1) to the row end, into rows.current.
template <int Channels>
void reconstructMedianSamples(const RowBuffers& rows, int width, int from = 1)
{
    const int runEnd = width - kMedianRunTail<Channels>;
    int x = from;
    if (runEnd > from) {
        MedianRun<Channels> run(rows.previous, rows.differences, rows.current, from);
        while (run.pixel() < runEnd)
            run.step();
        x = run.pixel();
    }
    for (; x < width; ++x)
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

void finishGreyMedianRow(const RowBuffers& rows, int width, int reconstructed)
{
    reconstructMedianSamples<1>(rows, width, reconstructed);
    invertRow(rows.current, rows.inverted, width);
}

void reconstructRow(const RowBuffers& rows, int width, int channels, int predictor, bool firstRow)
{
    reconstructFirstPixel(rows, channels, predictor, firstRow);
    invertRow(rows.current, rows.inverted, channels);
    int restMode = restOfRowMode(predictor, firstRow);
    RestRoutine routine = channels == 3 ? restRoutine<3>(restMode) : restRoutine<1>(restMode);
    routine(rows, width);
}

}  // namespace scancodec
