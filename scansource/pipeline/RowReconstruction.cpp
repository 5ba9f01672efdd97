#include "RowReconstruction.h"

#include "Prediction.h"

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
