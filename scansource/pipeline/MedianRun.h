#pragma once
// The median predictor run along a row, the device's usual mode, without
// branches (noisy data makes its three cases unpredictable). The channels
// of a pixel go through it side by side in the bytes of one vector: with
// g = b - d the median of a, b and a + g is b clamped to
// [a + min(g, 0), a + max(g, 0)], and saturating byte arithmetic gives
// those bounds (a bound beyond 0..255 clamps b just as well at 0 or 255),
// so only three steps depend on the previous pixel.
//
// Each step reads and writes four bytes from the pixel's first one; those
// past the pixel belong to the next pixels and are rewritten by them. The
// caller keeps those four bytes inside the row (the run starts at a pixel
// whose step fits) and steps the pixels in order, after the pixel before
// has been reconstructed.
#include <cstdint>
#include <cstring>

#include "Prediction.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace scancodec {

template <int Channels>
class MedianRun {
public:
    MedianRun(const uint8_t* previous, const uint8_t* differences, uint8_t* current, int pixel)
        : previous_(previous), differences_(differences), current_(current), pixel_(pixel)
    {
#if defined(__SSE2__)
        left_ = loadFour(current_ + (pixel - 1) * Channels);
        aboveLeft_ = loadFour(previous_ + (pixel - 1) * Channels);
#endif
    }

    int pixel() const { return pixel_; }

    void step()
    {
        int at = pixel_ * Channels;
#if defined(__SSE2__)
        __m128i above = loadFour(previous_ + at);
        __m128i fall = _mm_subs_epu8(aboveLeft_, above);
        __m128i rise = _mm_subs_epu8(above, aboveLeft_);
        __m128i prediction =
            _mm_min_epu8(_mm_max_epu8(above, _mm_subs_epu8(left_, fall)), _mm_adds_epu8(left_, rise));
        __m128i sample = _mm_add_epi8(prediction, loadFour(differences_ + at));
        uint32_t word = static_cast<uint32_t>(_mm_cvtsi128_si32(sample));
        std::memcpy(current_ + at, &word, sizeof word);
        left_ = sample;
        aboveLeft_ = above;
#else
        for (int c = 0; c < Channels; ++c)
            current_[at + c] = static_cast<uint8_t>(
                predict<PredictMedian>(current_[at - Channels + c], previous_[at + c], previous_[at - Channels + c])
                + differences_[at + c]);
#endif
        ++pixel_;
    }

private:
#if defined(__SSE2__)
    static __m128i loadFour(const uint8_t* p)
    {
        uint32_t word;
        std::memcpy(&word, p, sizeof word);
        return _mm_cvtsi32_si128(static_cast<int>(word));
    }
    __m128i left_;
    __m128i aboveLeft_;
#endif
    const uint8_t* previous_;
    const uint8_t* differences_;
    uint8_t* current_;
    int pixel_;
};

// Pixels whose four-byte step would reach past the row: done one by one.
template <int Channels>
constexpr int kMedianRunTail = (4 + Channels - 1) / Channels - 1;

// Two grey rows side by side in two lanes of one vector: an older row from
// olderPixel on and the row below it from newerPixel on, a pixel of each
// per step. A grey row alone has one sample per step of the chain; two
// rows keep the CPU twice as busy. The newer row's pixels above it must be
// reconstructed before it reaches them: the older lane stays ahead (the
// caller stops when it reaches the row end). Both pixels at least 1; bytes
// are loaded and stored one by one, so a run may go to the row end.
class MedianPairRun {
public:
    MedianPairRun(const uint8_t* olderAbove, const uint8_t* olderDifferences, uint8_t* older,
                  const uint8_t* newerDifferences, uint8_t* newer, int olderPixel, int newerPixel)
        : olderAbove_(olderAbove), olderDifferences_(olderDifferences), older_(older),
          newerDifferences_(newerDifferences), newer_(newer), olderPixel_(olderPixel), newerPixel_(newerPixel)
    {
#if defined(__SSE2__)
        left_ = lanes(older_[olderPixel - 1], newer_[newerPixel - 1]);
        aboveLeft_ = lanes(olderAbove_[olderPixel - 1], older_[newerPixel - 1]);
#endif
    }

    int olderPixel() const { return olderPixel_; }
    int newerPixel() const { return newerPixel_; }

    void step()
    {
        const int o = olderPixel_;
        const int n = newerPixel_;
#if defined(__SSE2__)
        __m128i above = lanes(olderAbove_[o], older_[n]);
        __m128i fall = _mm_subs_epu8(aboveLeft_, above);
        __m128i rise = _mm_subs_epu8(above, aboveLeft_);
        __m128i prediction =
            _mm_min_epu8(_mm_max_epu8(above, _mm_subs_epu8(left_, fall)), _mm_adds_epu8(left_, rise));
        __m128i sample = _mm_add_epi8(prediction, lanes(olderDifferences_[o], newerDifferences_[n]));
        const int both = _mm_cvtsi128_si32(sample);
        older_[o] = static_cast<uint8_t>(both);
        newer_[n] = static_cast<uint8_t>(both >> 8);
        left_ = sample;
        aboveLeft_ = above;
#else
        older_[o] = static_cast<uint8_t>(predict<PredictMedian>(older_[o - 1], olderAbove_[o], olderAbove_[o - 1]) +
                                         olderDifferences_[o]);
        newer_[n] = static_cast<uint8_t>(predict<PredictMedian>(newer_[n - 1], older_[n], older_[n - 1]) +
                                         newerDifferences_[n]);
#endif
        ++olderPixel_;
        ++newerPixel_;
    }

private:
#if defined(__SSE2__)
    static __m128i lanes(uint8_t older, uint8_t newer) { return _mm_cvtsi32_si128(older | newer << 8); }
    __m128i left_;
    __m128i aboveLeft_;
#endif
    const uint8_t* olderAbove_;
    const uint8_t* olderDifferences_;
    uint8_t* older_;
    const uint8_t* newerDifferences_;
    uint8_t* newer_;
    int olderPixel_;
    int newerPixel_;
};

}  // namespace scancodec
