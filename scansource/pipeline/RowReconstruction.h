#pragma once
// Second stage of a row: from the decoded differences and the previous
// row to the reconstructed samples, written twice: as they are (for the
// next row's prediction) and inverted (what the device means by them).
#include <cstdint>

#include "ColourOrder.h"

namespace scancodec {

struct RowBuffers {
    const uint8_t* differences;
    const uint8_t* previous;
    uint8_t* current;
    uint8_t* inverted;
};

// The inverted colour pixels go to rows.inverted in the order asked.
void reconstructRow(const RowBuffers& rows, int width, int channels, int predictor, bool firstRow,
                    ColourOrder order = ColourOrder::RedFirst);

// A grey median row (not the first) whose pixels before `reconstructed`
// are already in rows.current: the rest, then the whole row inverted.
void finishGreyMedianRow(const RowBuffers& rows, int width, int reconstructed);

// Pixels from .. to - 1 (from at least 1) of a grey median row into
// rows.current, not inverted; bytes up to three past `to` may be
// overwritten.
void greyMedianSamples(const RowBuffers& rows, int width, int from, int to);

void invertSamples(const uint8_t* samples, uint8_t* inverted, int size);

}  // namespace scancodec
