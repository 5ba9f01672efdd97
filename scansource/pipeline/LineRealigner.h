#pragma once
// Realigns the colour components of the output rows. The sensor's red,
// green and blue lines (even and odd pixels apart) reach the stream a few
// rows apart; each output row takes every component from the decoded row
// that many lines later, kept in a ring of the last maxOffset + 1 rows.
#include <cstdint>
#include <memory>

#include "ColourOrder.h"
#include "StreamFormat.h"

namespace scancodec {

class LineRealigner {
public:
    // False when the ring cannot be allocated.
    bool activate(const uint8_t offsets[kLineOffsetCount], int width, int channels);
    void reset();
    bool active() const { return ring_ != nullptr; }
    int maxOffset() const { return maxOffset_; }

    // The line that receives the next decoded row.
    uint8_t* writeLine() { return line(writeSlot_); }

    // Called after writeLine() was filled; true once enough rows are in
    // the ring for an output row.
    bool advance();

    // Builds the next output row, its colour pixels in the order asked,
    // and moves on by one row.
    void assemble(uint8_t* output, ColourOrder order = ColourOrder::RedFirst);

private:
    uint8_t* line(int slot) { return ring_.get() + static_cast<size_t>(slot) * static_cast<size_t>(rowSize_); }
    int nextSlot(int slot) const { return slot == maxOffset_ ? 0 : slot + 1; }

    // Output byte p comes from the source line of component p mod 6 (colour:
    // the three colours of the even pixel in output order, then of the odd
    // one) or p mod 2 (grey); an unpaired last pixel is an even one, so the
    // rule holds to the row end. The lines hold R, G, B: with blue first a
    // byte's source sits two bytes ahead of it (blue) or behind it (red).
    // For sixteen bytes at a time, byte masks per component and per
    // position of the chunk in the 48-byte cycle.
    static constexpr int kChunk = 16;
    static constexpr int kChunkPhases = 3;
    alignas(16) uint8_t masks_[kChunkPhases][kLineOffsetCount][kChunk] = {};

    std::unique_ptr<uint8_t[]> ring_;
    int width_ = 0;
    int channels_ = 0;
    int rowSize_ = 0;
    int maxOffset_ = 0;
    int writeSlot_ = 0;
    int readSlots_[kLineOffsetCount] = {};
    bool primed_ = false;
};

}  // namespace scancodec
