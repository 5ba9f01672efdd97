#pragma once
// Images for the codec's tests, benchmark and fuzz starting corpus.
#include <cstdint>
#include <vector>

namespace scancodec {

// A scanned-page look-alike: shaded paper, lines of text-like glyphs with
// sharp edges, a smooth photo-like area, a colour ramp and sensor noise of
// about 1.5 grey levels. Rows of width x channels bytes. The same
// arguments always give the same page.
std::vector<uint8_t> makeTestPage(int width, int height, int channels, uint32_t variant = 1);

// Uniformly random bytes: every category, the longest codes included.
std::vector<uint8_t> makeNoiseImage(int width, int height, int channels, uint32_t variant = 1);

// The benchmark page: 600 dpi US letter.
constexpr int kLetterWidth600 = 5100;
constexpr int kLetterHeight600 = 6600;

}  // namespace scancodec
