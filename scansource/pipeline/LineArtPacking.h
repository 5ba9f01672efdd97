#pragma once
// Grey rows to line art: 8 pixels a byte, the first in the most
// significant bit.
#include <cstdint>

// Packs count grey bytes into line-art bytes: 1 where the grey value is
// above threshold (signed comparison), the whole byte inverted when invert
// is set; returns the number of packed bytes (ceil(count / 8)). A last
// group of fewer than 8 pixels has 0 bits past the row's end before the
// inversion.
int packLineArtRow(const uint8_t* grey, int count, int threshold, bool invert, uint8_t* packed);
