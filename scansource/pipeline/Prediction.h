#pragma once
// The ten prediction modes of the stream and the rules that pick the mode
// for the first row and the first column.
#include <algorithm>

namespace scancodec {

enum PredictionMode {
    PredictMedian = 0,
    PredictLeft = 1,
    PredictAbove = 2,
    PredictAboveLeft = 3,
    PredictPlane = 4,
    PredictLeftWeighted = 5,
    PredictAboveWeighted = 6,
    PredictAverage = 7,
    PredictMidGrey = 8,
    PredictZero = 9,
};

// a = left, b = above, d = above-left, all 0..255.
template <int Mode>
inline int predict(int a, int b, int d)
{
    if constexpr (Mode == PredictMedian) {
        // The median of a, b and a + b - d, without branches: noisy data
        // makes the three cases unpredictable.
        return std::min(std::max(a + b - d, std::min(a, b)), std::max(a, b));
    } else if constexpr (Mode == PredictLeft) {
        return a;
    } else if constexpr (Mode == PredictAbove) {
        return b;
    } else if constexpr (Mode == PredictAboveLeft) {
        return d;
    } else if constexpr (Mode == PredictPlane) {
        return std::clamp(a + b - d, 0, 255);
    } else if constexpr (Mode == PredictLeftWeighted) {
        return std::clamp((2 * a + b - d) / 2, 0, 255);
    } else if constexpr (Mode == PredictAboveWeighted) {
        return std::clamp((2 * b + a - d) / 2, 0, 255);
    } else if constexpr (Mode == PredictAverage) {
        return (a + b) / 2;
    } else if constexpr (Mode == PredictMidGrey) {
        return 128;
    } else {
        return 0;
    }
}

inline int predictAny(int mode, int a, int b, int d)
{
    switch (mode) {
    case PredictMedian: return predict<PredictMedian>(a, b, d);
    case PredictLeft: return predict<PredictLeft>(a, b, d);
    case PredictAbove: return predict<PredictAbove>(a, b, d);
    case PredictAboveLeft: return predict<PredictAboveLeft>(a, b, d);
    case PredictPlane: return predict<PredictPlane>(a, b, d);
    case PredictLeftWeighted: return predict<PredictLeftWeighted>(a, b, d);
    case PredictAboveWeighted: return predict<PredictAboveWeighted>(a, b, d);
    case PredictAverage: return predict<PredictAverage>(a, b, d);
    case PredictMidGrey: return predict<PredictMidGrey>(a, b, d);
    default: return predict<PredictZero>(a, b, d);
    }
}

// The prediction of a predictor number; one the format does not have (the
// decoder refuses such streams) falls back to the median predictor.
inline int effectivePredictor(int predictor)
{
    return predictor >= 0 && predictor <= PredictZero ? predictor : PredictMedian;
}

inline bool isFixedPrediction(int predictor)
{
    return predictor == PredictMidGrey || predictor == PredictZero;
}

// Mode of the first pixel of a row; in the first row it has no neighbours.
inline int firstColumnMode(int predictor, bool firstRow)
{
    if (isFixedPrediction(predictor))
        return predictor;
    if (firstRow || predictor == PredictLeft)
        return PredictMidGrey;
    return PredictAbove;
}

// Mode of the other pixels of a row; the first row has nothing above.
inline int restOfRowMode(int predictor, bool firstRow)
{
    if (firstRow && !isFixedPrediction(predictor))
        return PredictLeft;
    return predictor;
}

}  // namespace scancodec
